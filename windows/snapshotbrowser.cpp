#include "windows/snapshotbrowser.h"

#include "features/snapshots.h"
#include "platform/errors.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>

Tsnapshot::Tsnapshot(QWidget *parent) : QWidget(parent), folder(snapshots::folder())
{
    const QString title = QStringLiteral("Quillet - Snap Shots");
    setWindowTitle(title);
    setFixedSize(676, 436);

    const auto arrow = [this](Qt::ArrowType type, int x, const QString &name, const QString &hint) {
        auto *b = new QToolButton(this);
        b->setObjectName(name);
        b->setArrowType(type);
        b->setToolTip(hint);
        b->setGeometry(x, 4, 25, 25);
        return b;
    };
    previousButton = arrow(Qt::LeftArrow, 8, QStringLiteral("previousButton"), QStringLiteral("Previous"));
    nextButton = arrow(Qt::RightArrow, 35, QStringLiteral("nextButton"), QStringLiteral("Next"));
    connect(previousButton, &QToolButton::clicked, this, [this] { guard([this] { previousClicked(); }); });
    connect(nextButton, &QToolButton::clicked, this, [this] { guard([this] { nextClicked(); }); });

    heading = new QLabel(title, this);
    heading->setObjectName(QStringLiteral("heading"));
    QFont f = heading->font();
    f.setPixelSize(16);
    f.setBold(true);
    heading->setFont(f);
    heading->setGeometry(128, 4, 533, 25);

    listbox_snapshots = new QListWidget(this);
    listbox_snapshots->setObjectName(QStringLiteral("listbox_snapshots"));
    listbox_snapshots->setGeometry(8, 32, 113, 369);
    listbox_snapshots->setSelectionMode(QAbstractItemView::SingleSelection);
    listbox_snapshots->setContextMenuPolicy(Qt::CustomContextMenu);
    listbox_snapshots->viewport()->installEventFilter(this);

    image_snapshot = new QLabel(this);
    image_snapshot->setObjectName(QStringLiteral("image_snapshot"));
    image_snapshot->setGeometry(128, 32, 533, 369);
    image_snapshot->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    deleteMenu = new QMenu(this);
    deleteMenu->setObjectName(QStringLiteral("deleteMenu"));
    Delete1 = deleteMenu->addAction(QStringLiteral("Delete"));
    Delete1->setObjectName(QStringLiteral("Delete1"));
    connect(Delete1, &QAction::triggered, this, [this] { guard([this] { Delete1Click(); }); });
    connect(listbox_snapshots, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        deleteMenu->popup(listbox_snapshots->viewport()->mapToGlobal(pos));
    });

    button_done = new QPushButton(QStringLiteral("Done"), this);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setGeometry(586, 406, 75, 25);
    connect(button_done, &QPushButton::clicked, this, &QWidget::close);
}

void Tsnapshot::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

void Tsnapshot::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    // A window brought back from the task bar keeps its list.
    if (!e->spontaneous())
        guard([this] { FormShow(); });
}

bool Tsnapshot::eventFilter(QObject *watched, QEvent *e)
{
    if (watched != listbox_snapshots->viewport())
        return QWidget::eventFilter(watched, e);
    // The pointer selects through this handler alone: no drag selection, no selection without a
    // picture.
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *m = static_cast<QMouseEvent *>(e);
        guard([&] { listbox_snapshotsMouseDown(m->button(), m->position().toPoint()); });
        return true;
    }
    case QEvent::MouseMove:
        return static_cast<QMouseEvent *>(e)->buttons() != Qt::NoButton;
    default:
        return QWidget::eventFilter(watched, e);
    }
}

void Tsnapshot::FormShow()
{
    listbox_snapshots->clear();
    listbox_snapshots->addItems(snapshots::list(folder));
    if (listbox_snapshots->count() > 0) {
        listbox_snapshots->setCurrentRow(0);
        loadsnapshot(0);
    }
}

void Tsnapshot::previousClicked()
{
    const int row = listbox_snapshots->currentRow();
    if (row > 0) {
        listbox_snapshots->setCurrentRow(row - 1);
        loadsnapshot(row - 1);
    }
}

void Tsnapshot::nextClicked()
{
    // With no selection (row -1) this selects the first line.
    const int row = listbox_snapshots->currentRow();
    if (row + 1 < listbox_snapshots->count()) {
        listbox_snapshots->setCurrentRow(row + 1);
        loadsnapshot(row + 1);
    }
}

void Tsnapshot::listbox_snapshotsMouseDown(Qt::MouseButton, const QPoint &pos)
{
    QListWidgetItem *item = listbox_snapshots->itemAt(pos);
    if (!item)
        return;
    const int row = listbox_snapshots->row(item);
    listbox_snapshots->setCurrentRow(row);
    if (QFileInfo::exists(QDir(folder).filePath(item->text())))
        loadsnapshot(row);
}

void Tsnapshot::Delete1Click()
{
    const int row = listbox_snapshots->currentRow();
    if (row < 0)
        return;
    const QString name = listbox_snapshots->item(row)->text();
    QFile file(QDir(folder).filePath(name));
    // A file that stays would come back with the next list: say so and keep its line.
    if (file.exists() && !file.remove())
        throw EError(QStringLiteral("Cannot delete \"%1\". %2").arg(name, file.errorString()));
    delete listbox_snapshots->takeItem(row);
    listbox_snapshots->setCurrentRow(-1);
}

void Tsnapshot::loadsnapshot(int row)
{
    const QListWidgetItem *item = listbox_snapshots->item(row);
    if (!item)
        return;
    QImageReader reader(QDir(folder).filePath(item->text()));
    const QImage picture = reader.read();
    if (picture.isNull())
        throw EError(QStringLiteral("%1: %2").arg(item->text(), reader.errorString()));
    image_snapshot->setPixmap(QPixmap::fromImage(picture));
    image_snapshot->resize(picture.size());
}
