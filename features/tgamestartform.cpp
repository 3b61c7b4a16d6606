#include "features/tgamestartform.h"

#include "protocol/errors.h"
#include "widgets/updown.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLineEdit *valueField(QWidget *parent, const QRect &where)
{
    auto *edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setGeometry(where);
    return edit;
}

} // namespace

Tgamestartform::Tgamestartform(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Quillet - Start Game"));
    setFixedSize(240, 129);

    auto *scoreLabel = new QLabel(QStringLiteral("Play To Score"), this);
    scoreLabel->setGeometry(10, 10, 118, 21);
    playtoscore = valueField(this, QRect(130, 10, 44, 21));
    UpDown1 = new UpDown(this);
    UpDown1->setGeometry(174, 10, 16, 21);
    UpDown1->setRange(20, 100);
    UpDown1->setIncrement(5);
    UpDown1->setAssociate(playtoscore);
    UpDown1->setPosition(20);

    auto *timeLabel = new QLabel(QStringLiteral("Time Limit Per Turn"), this);
    timeLabel->setGeometry(10, 38, 118, 21);
    timeperturn = valueField(this, QRect(130, 38, 44, 21));
    UpDown2 = new UpDown(this);
    UpDown2->setGeometry(174, 38, 16, 21);
    UpDown2->setRange(60, 120);
    UpDown2->setIncrement(5);
    UpDown2->setAssociate(timeperturn);
    UpDown2->setPosition(120);
    auto *unit = new QLabel(QStringLiteral("secs"), this);
    unit->setGeometry(196, 38, 40, 21);

    team = new QCheckBox(QStringLiteral("Team Game"), this);
    team->setGeometry(10, 66, 150, 21);

    FlatButton1 = new QPushButton(QStringLiteral("Start Game"), this);
    FlatButton1->setGeometry(70, 96, 100, 25);
    connect(FlatButton1, &QPushButton::clicked, this, [this] { guard([this] { FlatButton1Click(); }); });

    setTabOrder(team, playtoscore);
    setTabOrder(playtoscore, timeperturn);
    setTabOrder(timeperturn, FlatButton1);
}

void Tgamestartform::FlatButton1Click()
{
    // Hidden whatever the start does, also when it fails.
    struct HideAfter
    {
        QWidget *w;
        ~HideAfter() { w->hide(); }
    } hideAfter{this};
    if (startgame)
        startgame();
}

void Tgamestartform::showOver(QWidget *window)
{
    if (window) {
        const QRect frame = window->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
    activateWindow();
}

void Tgamestartform::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    team->setFocus();
}
