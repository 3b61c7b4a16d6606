#include "features/spylist.h"

#include "platform/errors.h"
#include "protocol/numbers.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

Tspylist::Tspylist(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Quillet - Spectators"));
    setFixedSize(170, 195);

    spyListCaption = new QLabel(QStringLiteral("Spy List"), this);
    spyListCaption->setObjectName(QStringLiteral("spyListCaption"));
    spyListCaption->setGeometry(8, 4, 154, 18);
    QFont bold = spyListCaption->font();
    bold.setBold(true);
    spyListCaption->setFont(bold);

    listbox_spys = new QListWidget(this);
    listbox_spys->setObjectName(QStringLiteral("listbox_spys"));
    listbox_spys->setGeometry(8, 24, 154, 130);
    listbox_spys->setMouseTracking(true);
    listbox_spys->viewport()->installEventFilter(this);
    listbox_spys->setContextMenuPolicy(Qt::CustomContextMenu);

    button_done = new QPushButton(QStringLiteral("Done"), this);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setGeometry(47, 162, 75, 25);
    connect(button_done, &QPushButton::clicked, this, [this] { guard([this] { button_doneClick(); }); });

    popup_kick = new QMenu(this);
    popup_kickhim = popup_kick->addAction(QStringLiteral("Remove From Game"));
    popup_kickhim->setObjectName(QStringLiteral("popup_kickhim"));
    popup_kickhim->setEnabled(false);
    connect(popup_kickhim, &QAction::triggered, this, [this] { guard([this] { popup_kickhimClick(); }); });
    connect(listbox_spys, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        guard([this, pos] { popup_kickPopup(pos); });
        popup_kick->popup(listbox_spys->viewport()->mapToGlobal(pos));
    });
}

bool Tspylist::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == listbox_spys->viewport() && e->type() == QEvent::MouseMove) {
        const QPoint pos = static_cast<QMouseEvent *>(e)->position().toPoint();
        guard([this, pos] { listbox_spysMouseMove(pos); });
    }
    return QWidget::eventFilter(watched, e);
}

void Tspylist::listbox_spysMouseMove(const QPoint &pos)
{
    const QListWidgetItem *item = listbox_spys->itemAt(pos);
    pointedrow = item ? listbox_spys->row(item) : -1;
}

void Tspylist::popup_kickPopup(const QPoint &pos)
{
    listbox_spysMouseMove(pos);
    const QListWidgetItem *item = pointedrow < 0 ? nullptr : listbox_spys->item(pointedrow);
    menuline = item ? item->text() : QString();
}

void Tspylist::popup_kickhimClick()
{
    // The line may have gone while the menu was open (the spy left): then nobody is removed.
    if (pointedrow < 0 || menuline.isEmpty() ||
        listbox_spys->findItems(menuline, Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty())
        return;
    const std::optional<int> number = linenumber(menuline);
    if (number && kicking)
        kicking(*number);
}

void Tspylist::button_doneClick()
{
    hide();
}

std::optional<int> Tspylist::linenumber(const QString &line)
{
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::nullopt;
    return numbers::tryStrToInt(line.left(colon));
}
