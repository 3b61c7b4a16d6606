#include "windows/tgamestartform.h"

#include "platform/errors.h"
#include "widgets/updown.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// One labelled row: a read-only number field stepped only by its up/down arrows.
QLineEdit *stepperRow(QWidget *parent, const QString &caption, int y, int low, int high, int start,
                      UpDown *&arrows)
{
    auto *label = new QLabel(caption, parent);
    label->setGeometry(10, y, 118, 21);
    auto *edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setGeometry(130, y, 44, 21);
    arrows = new UpDown(parent);
    arrows->setGeometry(174, y, 16, 21);
    arrows->setRange(low, high);
    arrows->setIncrement(5);
    arrows->setAssociate(edit);
    arrows->setPosition(start);
    return edit;
}

} // namespace

Tgamestartform::Tgamestartform(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Quillet - Start Game"));
    setFixedSize(240, 153);

    // Short games too: from 5 points and 30 seconds a turn.
    playtoscore = stepperRow(this, QStringLiteral("Play To Score"), 10, 5, 100, 20, playToScoreArrows);
    timeperturn = stepperRow(this, QStringLiteral("Time Limit Per Turn"), 38, 30, 120, 120, turnTimeArrows);
    auto *unit = new QLabel(QStringLiteral("secs"), this);
    unit->setGeometry(196, 38, 40, 21);

    team = new QCheckBox(QStringLiteral("Team Game"), this);
    team->setGeometry(10, 66, 150, 21);
    hints = new QCheckBox(QStringLiteral("Letter Hints"), this);
    hints->setGeometry(10, 90, 220, 21);
    hints->setToolTip(QStringLiteral("One more letter of the phrase shows at half and at three quarters of "
                                     "the time."));

    startButton = new QPushButton(QStringLiteral("Start Game"), this);
    startButton->setGeometry(70, 120, 100, 25);
    connect(startButton, &QPushButton::clicked, this, [this] { guard([this] { startGameClicked(); }); });

    setTabOrder(team, hints);
    setTabOrder(hints, playtoscore);
    setTabOrder(playtoscore, timeperturn);
    setTabOrder(timeperturn, startButton);
}

void Tgamestartform::startGameClicked()
{
    // Hidden whatever the start does, also when it fails.
    struct HideAfter
    {
        QWidget *w;
        ~HideAfter() { w->hide(); }
    } hideAfter{this};
    if (startgame)
        startgame(team->isChecked(), playToScoreArrows->position(), turnTimeArrows->position(),
                  hints->isChecked());
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
