// The turn as the window shows it: the controls each role sees, the turn line, the answer lines,
// the banner, the marks, the guess lists and the clock.
#include "client/tchat.h"

#include "board/drawingboard.h"
#include "client/chatpane.h"
#include "client/core/strokesender.h"
#include "client/core/turnclock.h"
#include "features/spylist.h"
#include "widgets/animatedpicture.h"
#include "widgets/chatviewer.h"
#include "widgets/flatbutton.h"
#include "widgets/flatpanel.h"

#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QToolButton>
#include <cmath>

namespace {

// Adds a line to a guess list and scrolls it down by one line.
void addGuessLine(QListWidget *list, const QString &line)
{
    QScrollBar *bar = list->verticalScrollBar();
    const int before = bar->value();
    list->addItem(line);
    list->scrollToBottom(); // brings the scroll range up to date
    bar->setValue(qMin(bar->maximum(), before + 1));
}

} // namespace

void Tchat::showclock()
{
    // A clock that ran out reads 0:00.
    const int seconds = playergame->secondsleft();
    label_timer->setText(seconds < 0 ? QStringLiteral("0:00") : turnclock::clockText(seconds));
    timerbar = turnclock::barWidth(playergame->clockmode(), seconds, timerbar);
    image_timer->resize(zoom.scaled(timerbar), image_timer->height());
    if (playergame->controls().pick)
        label_pickclock->setText(turnclock::pickText(seconds));
}

void Tchat::setanswerline(QLabel *line, const QString &text)
{
    QFont f = line->font();
    f.setPixelSize(zoom.scaled(tchatgeometry::answerPixels));
    f.setLetterSpacing(QFont::AbsoluteSpacing,
                       line == label_answer ? zoom.scaled(tchatgeometry::answerSpacing) : 0);
    const int room = line->contentsRect().width();
    while (QFontMetrics(f).horizontalAdvance(text) > room) {
        if (f.letterSpacing() > 0)
            f.setLetterSpacing(QFont::AbsoluteSpacing, f.letterSpacing() - 1);
        else if (f.pixelSize() > 9)
            f.setPixelSize(f.pixelSize() - 1);
        else
            break;
    }
    line->setFont(f);
    line->setText(text);
}

void Tchat::showcontrols()
{
    const PlayerGame::Controls c = playergame->controls();
    button_start->setVisible(c.start);
    startGameAction->setEnabled(c.startmenu);
    if (!c.pick)
        panel_pickcatagory->hide();
    else if (panel_pickcatagory->isHidden()) {
        label_pickcatagory->setText(QStringLiteral("Your turn to"));
        label_pickcatagory1->setText(QStringLiteral("choose a category"));
        label_pickclock->setText(turnclock::pickText(playergame->secondsleft()));
        panel_pickcatagory->show();
        panel_pickcatagory->raise();
    }
    panel_toolbar->setVisible(c.toolbar);
    panel_answer->setVisible(c.answer);
    edit_answer->setVisible(c.answerentry);
    label_answerlabel->setVisible(c.answerentry);
    button_pass->setVisible(c.pass);
    label_fullanswer->setVisible(c.fullanswer);
    button_snapshot->setVisible(c.snapshot);
    if (c.winner != !winnerPanel->isHidden()) {
        winnerPanel->setVisible(c.winner);
        if (c.winner) {
            winnerPanel->raise();
            image_winner->start();
        } else
            image_winner->stop();
    }
    showpodium(c);
    label_adrawer->setVisible(c.marks);
    label_aguesser->setVisible(c.marks);
    justWatchAction->setEnabled(c.justwatch);
    if (with.spylist)
        with.spylist->popup_kickhim->setEnabled(c.removal);
    chatpane->mychat->setEnabled(c.chat);
    chatpane->phraserow->setEnabled(c.chat);
    chatpane->button_smilies->setEnabled(c.chat);
    chatpane->b_phrase10->setEnabled(c.chat);
}

void Tchat::showturn()
{
    const PlayerGame::Turn &turn = playergame->turn();
    label_turn->setText(turn.line);
    setanswerline(label_fullanswer, turn.fullanswer);
    setanswerline(label_answer, turn.answer);
    if (turn.category >= 0 && turn.category < int(image_categories.size()))
        image_cat->setPixmap(zoom.scaled(image_categories[turn.category]));
    else
        image_cat->clear();
    label_winner->setText(turn.winner);
    for (int mark = 0; mark < 3; ++mark)
        movemark(PlayerGame::Mark(mark), turn.marks[size_t(mark)]);
}

void Tchat::movemark(PlayerGame::Mark mark, int seat)
{
    markseat[int(mark)] = seat;
    if (mark == PlayerGame::Mark::arrow)
        image_arrow->move(image_arrow->x(), zoom.scaled(tchatgeometry::nameRowY[seat] + 2));
    else if (mark == PlayerGame::Mark::drawer)
        label_adrawer->move(label_adrawer->x(), zoom.scaled(tchatgeometry::nameRowY[seat]));
    else
        label_aguesser->move(label_aguesser->x(), zoom.scaled(tchatgeometry::nameRowY[seat]));
}

void Tchat::addguess(bool mine, const QString &line)
{
    addGuessLine(mine ? listbox_myguessed : listbox_guessed, line);
}

void Tchat::rezoom()
{
    // In steps of a twentieth, with the border the board keeps at zoom 1.
    const QWidget *client = centralWidget();
    double factor = std::min((client->width() - tchatgeometry::border) / double(tchatgeometry::boardWidth),
                             (client->height() - tchatgeometry::border) / double(tchatgeometry::boardHeight));
    factor = std::max(1.0, std::floor(factor * 20) / 20);
    if (factor == zoom.factor() || !zoom.remembered())
        return;
    zoom.apply(factor);
    image_main->setZoom(factor);
    chatpane->mainchat->setZoom(factor);
    // What the game placed or set since the layout was built, at the new size.
    for (int mark = 0; mark < 3; ++mark)
        if (PlayerGame::isseat(markseat[mark]))
            movemark(PlayerGame::Mark(mark), markseat[mark]);
    // The clock's bar keeps its length: it shortens only with the clock's ticks.
    image_timer->resize(zoom.scaled(timerbar), image_timer->height());
    showturn();
}

void Tchat::connectTurn()
{
    timerbar = image_timer->width();
    connect(playergame, &PlayerGame::controlsChanged, this, &Tchat::showcontrols);
    connect(playergame, &PlayerGame::turnChanged, this, &Tchat::showturn);
    connect(playergame, &PlayerGame::guessAdded, this, &Tchat::addguess);
    connect(playergame, &PlayerGame::guessesCleared, this, [this] {
        listbox_myguessed->clear();
        listbox_guessed->clear();
    });
    connect(playergame, &PlayerGame::phaseEntered, this, [this](PlayerGame::Phase phase) {
        if (phase == PlayerGame::Phase::idle) {
            justWatchAction->setChecked(false);
        } else if (phase == PlayerGame::Phase::picking) {
            strokesender->drop();
            releasecategories();
        } else if (phase == PlayerGame::Phase::drawing) {
            resetbrush();
        }
    });
}
