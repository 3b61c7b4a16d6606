#include "windows/helpwindow.h"

#include "assets/assets.h"
#include "widgets/flatbutton.h"
#include "widgets/tiledbackground.h"

#include <QDate>
#include <QLabel>
#include <QStackedWidget>
#include <QTextBrowser>

namespace {

struct Topic
{
    const char *caption;
    int tag;
    const char *page; // compiled-in rich text; nullptr for the two buttons without a page
};

// Top to bottom; "Done" sits apart at the bottom of the column.
constexpr Topic topics[] = {
    {"Overview", 1, "help/overview.html"},
    {"Connecting", 2, "help/connecting.html"},
    {"Game Play", 3, "help/gameplay.html"},
    {"Scoring", 4, "help/scoring.html"},
    {"Snap Shots", 9, "help/snapshots.html"},
    {"Documentation", 6, "help/documentation.html"},
    {"License", 5, "help/license.html"},
    {"The Lobby", 11, "help/lobby.html"},
    {"About", 7, nullptr},
    {"Done", 10, nullptr},
};

constexpr int columnWidth = 134;

QLabel *creditLine(QWidget *parent, const QString &text, int y, bool bold)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(0, y, columnWidth, 16);
    label->setAlignment(Qt::AlignCenter);
    QFont f = label->font();
    f.setPointSize(9);
    f.setBold(bold);
    label->setFont(f);
    label->setStyleSheet(QStringLiteral("color: #800000;"));
    return label;
}

} // namespace

Thelp::Thelp(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Quillet - Help File"));
    setFixedSize(557, 452);

    auto *background = new TiledBackground(this);
    background->setGeometry(rect());
    background->setTile(QPixmap(QStringLiteral(":/pictures/background.png")));

    auto *column = new QWidget(background);
    column->setObjectName(QStringLiteral("topicColumn"));
    column->setGeometry(0, 0, columnWidth, height());
    column->setAutoFillBackground(true);
    QPalette pal = column->palette();
    pal.setColor(QPalette::Window, QColor(0xB3, 0xB4, 0x9A));
    column->setPalette(pal);

    int y = 10;
    for (const Topic &t : topics) {
        auto *b = new FlatButton(column);
        b->setText(QString::fromLatin1(t.caption));
        b->setProperty("tag", t.tag);
        b->setObjectName(QStringLiteral("topic") + QString::number(t.tag));
        if (t.tag == 10) {
            b->setGeometry(12, height() - 34, columnWidth - 24, 24);
            connect(b, &QAbstractButton::clicked, this, [this] { doneClicked(); });
        } else {
            b->setGeometry(12, y, columnWidth - 24, 24);
            y += 28;
            if (t.page)
                connect(b, &QAbstractButton::clicked, this, [this, b] { topicClicked(b); });
            else
                connect(b, &QAbstractButton::clicked, this, [this] { aboutClicked(); });
        }
        buttons << b;
    }

    y += 22;
    creditLine(column, QStringLiteral("Created By:"), y, false);
    creditLine(column, QStringLiteral("Orvane Software"), y + 18, true);
    creditLine(column, QStringLiteral("Copyright \u00A9"), y + 40, false);
    label_year = creditLine(column, QString(), y + 58, false);
    label_year->setObjectName(QStringLiteral("label_year"));

    label_caption = new QLabel(background);
    label_caption->setObjectName(QStringLiteral("label_caption"));
    label_caption->setGeometry(columnWidth + 10, 6, width() - columnWidth - 20, 26);
    label_caption->setAlignment(Qt::AlignCenter);
    QFont cf = label_caption->font();
    cf.setPointSize(14);
    cf.setBold(true);
    label_caption->setFont(cf);
    label_caption->setStyleSheet(QStringLiteral("color: #800000;"));

    pages = new QStackedWidget(background);
    pages->setGeometry(columnWidth + 10, 36, width() - columnWidth - 20, height() - 46);
    for (const Topic &t : topics) {
        if (!t.page)
            continue;
        auto *page = new QTextBrowser(pages);
        page->setObjectName(QStringLiteral("memo") + QString::number(t.tag));
        page->setReadOnly(true);
        page->setOpenLinks(false);
        page->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        page->setStyleSheet(QStringLiteral("QTextBrowser { background: white; border: 1px solid #8B5A2B; }"));
        pages->addWidget(page);
    }
    FormCreate();
}

void Thelp::FormCreate()
{
    pages->setCurrentWidget(memo(1));
    label_caption->setText(QStringLiteral("Overview"));
    label_year->setText(QString::number(QDate::currentDate().year()).rightJustified(4, QLatin1Char('0')));
}

void Thelp::showEvent(QShowEvent *event)
{
    // The pages are laid out when the window is first opened: most games never open it.
    if (!filled) {
        filled = true;
        for (const Topic &t : topics) {
            if (QTextBrowser *page = memo(t.tag)) {
                page->document()->setDocumentMargin(8);
                page->setHtml(QString::fromUtf8(assets::load(QString::fromLatin1(t.page))));
            }
        }
    }
    QWidget::showEvent(event);
}

QTextBrowser *Thelp::memo(int tag) const
{
    return pages->findChild<QTextBrowser *>(QStringLiteral("memo") + QString::number(tag),
                                            Qt::FindDirectChildrenOnly);
}

FlatButton *Thelp::topicButton(const QString &caption) const
{
    for (FlatButton *b : buttons)
        if (b->text() == caption)
            return b;
    return nullptr;
}

void Thelp::topicClicked(FlatButton *button)
{
    QTextBrowser *page = memo(button->property("tag").toInt());
    if (!page)
        return;
    pages->setCurrentWidget(page);
    label_caption->setText(button->text());
}

void Thelp::aboutClicked()
{
    emit aboutRequested();
}

void Thelp::doneClicked()
{
    hide();
}
