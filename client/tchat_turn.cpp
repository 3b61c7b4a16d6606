// The course of a game as a player sees it: the pick, the drawing turn, guesses, the end of a turn,
// the winner, and the turn clock. Also which controls each role sees.
#include "client/core/playergame.h"
#include "client/tchat.h"

#include "board/drawingboard.h"
#include "client/core/turnclock.h"
#include "protocol/fields.h"
#include "protocol/numbers.h"
#include "widgets/animatedpicture.h"
#include "widgets/flatbutton.h"
#include "widgets/flatpanel.h"

#include <QAction>
#include <QDate>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QScrollBar>
#include <QTimer>

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

QString today()
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

// The first field of a payload that may have nothing after it.
int leadingInt(const QString &rest)
{
    FieldReader f(rest);
    return rest.contains(QLatin1Char('+')) ? f.nextInt() : f.restInt();
}

} // namespace

void Tchat::showclock()
{
    // A clock that ran out reads 0:00.
    label_timer->setText(game->secondsleft < 0 ? QStringLiteral("0:00")
                                               : turnclock::clockText(game->secondsleft));
    image_timer->resize(turnclock::barWidth(game->turnClockMode, game->secondsleft, image_timer->width()),
                        image_timer->height());
}

void Tchat::updatetime(const QString &rest)
{
    // Only a copy that joined during this drawing turn needs the host's count; the others keep
    // their own clock.
    if (game->pickseen || game->turnClockMode != 1)
        return;
    const std::optional<int> seconds = numbers::tryStrToInt(rest);
    if (!seconds || *seconds < 0)
        return;
    game->setsecondsleft(*seconds);
}

void Tchat::setanswerline(QLabel *line, const QString &text)
{
    QFont f = line->font();
    f.setPixelSize(answerPixels);
    f.setLetterSpacing(QFont::AbsoluteSpacing, line == label_answer ? answerSpacing : 0);
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

void Tchat::givedraweranswer(const QString &rest)
{
    setanswerline(label_fullanswer, rest);
}

void Tchat::startthegame(const QString &rest)
{
    game->turnClock->stop();
    game->pickseen = true;
    label_aguesser->hide();
    label_adrawer->hide();
    winnerPanel->hide();
    panel_toolbar->hide();
    panel_answer->hide();
    image_winner->stop();
    label_fullanswer->clear();
    label_answer->clear();
    button_pass->hide();
    label_turn->clear();
    clearfinishedturn();
    button_start->hide();
    game->gamerunning = true;
    actashost();
    justWatchAction->setChecked(false);
    for (int seat = 1; seat <= 10; ++seat) {
        game->setscore(seat, QStringLiteral("0"));
        game->setwatching(seat, false);
    }

    FieldReader f(rest);
    const int starter = f.nextInt();
    const QString team = f.next();
    const QString playto = f.next();
    const int seconds = numbers::strToIntDef(f.rest(), 120);
    game->setoptions(QStringLiteral("Play to score: ") + playto, seconds);

    const bool teamgame = team == QLatin1String("true");
    const QString wording =
        teamgame ? QStringLiteral("started a TEAM game.") : QStringLiteral("started a game.");
    justWatchAction->setEnabled(!teamgame);
    game->setteamgame(teamgame);
    // The starter is usually the hosting player; on that copy the line speaks to the player.
    const QString who =
        starter == game->mynumber ? QStringLiteral("You have ") : seatname(starter) + QStringLiteral(" has ");
    addlinetochat(QStringLiteral("0+") + who + wording, watchcolour);
}

void Tchat::pickcatagory(const QString &rest)
{
    strokesender->drop();
    game->pickseen = true;
    game->gamerunning = true;
    actashost();
    winnerPanel->hide();
    image_winner->stop();
    releasecategories();
    game->drawernumber = leadingInt(rest);
    if (game->drawernumber >= 1 && game->drawernumber <= 10)
        image_arrow->move(image_arrow->x(), nameRowY[game->drawernumber] + 2);
    // The break is over: the finished turn's phrase, banner, marks and snapshot button go. Its
    // drawing stays until the next drawer starts.
    clearfinishedturn();
    if (game->drawernumber == game->mynumber)
        label_turn->setText(QStringLiteral("Your turn to choose a category."));
    else if (game->drawernumber >= 1 && game->drawernumber <= 10)
        label_turn->setText(seatname(game->drawernumber) + QStringLiteral(" is choosing a category."));
    else
        label_turn->clear();
    if (game->drawernumber == game->mynumber) {
        eventcue(QStringLiteral("turn"));
        label_pickcatagory->setText(QStringLiteral("Your turn to"));
        label_pickcatagory1->setText(QStringLiteral("choose a catagory"));
        panel_pickcatagory->show();
        panel_pickcatagory->raise();
    }
    game->restartclock(0, 10);
}

void Tchat::clearfinishedturn()
{
    label_adrawer->hide();
    label_aguesser->hide();
    label_fullanswer->clear();
    label_answer->clear();
    image_cat->clear();
    button_snapshot->hide();
}

void Tchat::getnextplayer(const QString &rest)
{
    label_adrawer->hide();
    label_aguesser->hide();
    winnerPanel->hide();
    image_winner->stop();
    button_start->hide(); // a game runs: also for number 1 joining in the middle of one
    game->gamerunning = true;
    actashost();
    label_fullanswer->clear();
    listbox_myguessed->clear();
    listbox_guessed->clear();
    button_snapshot->hide();
    game->roundcaption.clear();
    panel_pickcatagory->hide();
    // A copy that joined during the turn has just been sent the drawing so far: it stays.
    if (game->pickseen)
        image_main->wipe();

    FieldReader f(rest);
    game->drawernumber = f.nextInt();
    const int category = f.nextInt();
    eventcue(QStringLiteral("cat") + QString::number(category));
    if (category >= 0 && category <= 6)
        image_cat->setPixmap(image_catagories[category]);
    else
        image_cat->clear();
    setanswerline(label_answer, f.rest());
    resetbrush();
    const bool seated = game->drawernumber >= 1 && game->drawernumber <= 10;
    if (seated)
        label_adrawer->move(label_adrawer->x(), nameRowY[game->drawernumber]);
    // The pick put the arrow at the drawer's row already, unless this copy joined after it.
    if (seated && (game->drawernumber == game->mynumber || !game->pickseen))
        image_arrow->move(image_arrow->x(), nameRowY[game->drawernumber] + 2);

    if (game->drawernumber == game->mynumber) {
        label_turn->setText(QStringLiteral("Your turn to draw."));
        label_fullanswer->show();
        panel_toolbar->show();
        panel_answer->hide();
        button_pass->show();
    } else {
        label_turn->setText(seatname(game->drawernumber) + QStringLiteral("'s turn to draw."));
        label_fullanswer->hide();
        panel_toolbar->hide();
        panel_answer->show();
        const bool spy = game->mynumber > 10;
        edit_answer->setVisible(!spy);
        label_answerlabel->setVisible(!spy);
        button_pass->hide();
    }

    // The clock keeps its rhythm if it is already running.
    game->startturnclock();
}

void Tchat::guessed(const QString &rest)
{
    FieldReader f(rest);
    const int guesser = f.nextInt();
    addGuessLine(listbox_guessed, seatname(guesser) + QStringLiteral(" guessed: ") + f.rest());
}

void Tchat::myguessed(const QString &rest)
{
    FieldReader f(rest);
    const int guesser = f.nextInt();
    addGuessLine(listbox_myguessed, seatname(guesser) + QStringLiteral(" answered: ") + f.rest());
}

void Tchat::veryclose(const QString &rest)
{
    FieldReader f(rest);
    const int guesser = f.nextInt();
    if (guesser != game->mynumber)
        return;
    addGuessLine(listbox_myguessed, f.next() + QStringLiteral(" is very close."));
}

void Tchat::updateanswer(const QString &rest)
{
    FieldReader f(rest);
    const QString flag = f.next();
    const QString text = f.rest();
    if (flag == QLatin1String("true")) {
        // The time ran out: the text is the phrase. The pass button keeps its state.
        eventcue(QStringLiteral("noanswer"));
        addlinetochat(QStringLiteral("0+No one guessed!"), systemcolour);
        game->roundcaption =
            today() + QStringLiteral(": ") + seatname(game->drawernumber) + QLatin1Char('-') + text;
        game->drawernumber = 0;
        panel_answer->hide();
        panel_toolbar->hide();
        button_snapshot->show();
        game->restartclock(0, 10);
    }
    setanswerline(label_answer, text);
}

void Tchat::passed(const QString &rest)
{
    eventcue(QStringLiteral("pass"));
    FieldReader f(rest);
    const int drawer = f.nextInt();
    setscore(drawer, f.rest());
    addlinetochat(QStringLiteral("0+") + seatname(drawer) +
                      QStringLiteral(" has bought a different phrase for one point."),
                  systemcolour);
}

void Tchat::correctanswer(const QString &rest)
{
    game->roundcaption = today() + QStringLiteral(": ") + seatname(game->drawernumber) + QLatin1Char('-');
    game->restartclock(0, 10);
    panel_answer->hide();
    panel_toolbar->hide();
    button_pass->hide();
    button_snapshot->show();

    FieldReader f(rest);
    const int guesser = f.nextInt();
    setscore(guesser, f.next());
    const int drawer = f.nextInt();
    setscore(drawer, f.next());
    const QString phrase = f.rest();
    addlinetochat(QStringLiteral("0+") + seatname(guesser) + QStringLiteral(" has guessed the answer!"),
                  systemcolour);
    if (guesser == game->mynumber || game->drawernumber == game->mynumber)
        eventcue(QStringLiteral("correct"));
    game->drawernumber = 0;

    if (guesser >= 1 && guesser <= 10)
        label_aguesser->move(label_aguesser->x(), nameRowY[guesser]);
    label_adrawer->show();
    label_aguesser->show();
    setanswerline(label_answer, phrase);
    game->roundcaption += phrase;
}

void Tchat::winner(const QString &rest)
{
    eventcue(QStringLiteral("gameover"));
    addlinetochat(QStringLiteral("0+") + rest + QStringLiteral(" has Won the Game!"), systemcolour);
    label_winner->setText(rest);
    label_turn->setText(QStringLiteral("The game is over."));
    winnerPanel->show();
    winnerPanel->raise();
    image_winner->start();
    game->gamerunning = false;
    if (game->amhost) {
        button_start->show();
        startGameAction->setEnabled(true);
    }
}
