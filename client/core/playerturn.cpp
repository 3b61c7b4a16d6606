// The course of a game as a player sees it: the start, the pick, the drawing turn, guesses, the end
// of a turn and the winner. Each handler changes what shows in the order the messages' fields are
// read, so a field that does not read leaves the steps before it done. Guesses and phrases show
// with every letter capitalised that the code page capitalises, as judging compares them: the
// host capitalises only a to z ("PIÑATA", not "PIñATA").
#include "client/core/chattersounds.h"
#include "client/core/playergame.h"

#include "protocol/fields.h"
#include "protocol/numbers.h"
#include "protocol/text.h"

#include <QDate>
#include <QLocale>
#include <QTimer>

namespace {

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

// The turn's controls by phase, for the drawer and for everybody else.
struct TurnControls
{
    bool pick, toolbar, pass, answer, snapshot, marks;
};
constexpr TurnControls turncontrols[][2] = {
    // pick, toolbar, pass, answer, snapshot, marks
    {{false, false, false, false, false, false}, {false, false, false, false, false, false}}, // idle
    {{true, false, false, false, false, false}, {false, false, false, false, false, false}},  // picking
    {{false, true, true, false, false, false}, {false, false, false, true, false, false}},    // drawing
    {{false, false, false, false, true, false}, {false, false, false, false, true, false}},   // over
    {{false, false, false, false, true, true}, {false, false, false, false, true, true}},     // solved
};

} // namespace

PlayerGame::Controls PlayerGame::controls() const
{
    const TurnControls &t = turncontrols[int(st.phase)][drawing() ? 0 : 1];
    Controls c;
    // A game left takes the turn's controls with it.
    const bool in = !st.gameleft;
    c.pick = t.pick && !st.picked && in;
    c.toolbar = t.toolbar && in;
    c.pass = t.pass && !st.passed && in;
    c.answer = t.answer && in;
    c.snapshot = t.snapshot;
    c.marks = t.marks;
    c.winner = st.won;
    c.podium = st.podium;
    c.start = st.start;
    c.startmenu = st.startmenu;
    c.justwatch = st.justwatch;
    c.fullanswer = st.phraseline;
    c.answerentry = canguess();
    c.removal = st.hostsay;
    for (int seat = 1; seat <= 10; ++seat)
        c.removable[seat] = c.removal && st.seats[seat].name != waiting;
    c.startform = st.loggedin;
    c.chat = in;
    c.playagain = c.podium && st.hostsay && st.loggedin && !st.againsent;
    return c;
}

int PlayerGame::leaderseat() const
{
    for (int seat = 1; seat <= 10; ++seat)
        if (st.seats[seat].name != waiting)
            return seat;
    return 0;
}

void PlayerGame::actashost()
{
    // The hosting copy keeps its controls whatever the table does.
    if (st.hosting) {
        emit controlsChanged();
        return;
    }
    const bool lead = leadsthetable();
    st.hostsay = lead;
    st.start = st.startmenu = lead && !st.gamerunning;
    emit controlsChanged();
}

void PlayerGame::hostingstarted()
{
    st.startup.loginname = st.startup.name;
    st.hostsay = true;
    st.hosting = true;
    offerstart(true);
}

void PlayerGame::offerstart(bool on)
{
    st.start = st.startmenu = on;
    emit controlsChanged();
}

void PlayerGame::startformshown()
{
    st.start = false;
    emit controlsChanged();
}

void PlayerGame::leavegame(const QString &why)
{
    st.gameleft = true;
    st.loggedin = false;
    st.drawernumber = 0;
    // The turn goes with the game: no phrase, no turn line, and a clock that reads out rather
    // than one that stands still.
    turnClock->stop();
    st.clockmode = turnclock::Mode::pause;
    setsecondsleft(-1);
    setturnline({});
    setfullanswer({});
    emit chatLine(QStringLiteral("0+") + why +
                      QStringLiteral(" Use File / Host a Game... or Join a Game... to play again."),
                  systemcolour);
    // What needs the game: starting, the turn's controls, chat and phrases, watching, removals.
    st.hostsay = false;
    st.start = st.startmenu = st.justwatch = false;
    emit controlsChanged();
}

void PlayerGame::enterphase(Phase phase)
{
    st.phase = phase;
    emit controlsChanged();
}

void PlayerGame::movemark(Mark mark, int seat)
{
    if (!isseat(seat))
        return;
    st.turn.marks[size_t(mark)] = seat;
    emit turnChanged();
}

void PlayerGame::setturnline(const QString &line)
{
    st.turn.line = line;
    emit turnChanged();
}

void PlayerGame::setanswer(const QString &text)
{
    st.turn.answer = text;
    emit turnChanged();
}

void PlayerGame::setfullanswer(const QString &text)
{
    st.turn.fullanswer = text;
    emit turnChanged();
}

void PlayerGame::clearfinishedturn()
{
    emit controlsChanged();
    setfullanswer({});
    setanswer({});
    st.turn.category = -1;
    emit turnChanged();
}

void PlayerGame::updatetime(const QString &rest)
{
    // Only a copy that joined during this drawing turn needs the host's count; the others keep
    // their own clock.
    if (st.pickseen || st.clockmode != turnclock::Mode::drawing)
        return;
    const std::optional<int> seconds = numbers::tryStrToInt(rest);
    if (!seconds || *seconds < 0)
        return;
    setsecondsleft(*seconds);
}

void PlayerGame::givedraweranswer(const QString &rest)
{
    setfullanswer(text::codepageUpper(rest));
}

void PlayerGame::startthegame(const QString &rest)
{
    turnClock->stop();
    st.pickseen = true;
    st.won = st.podium = false;
    enterphase(Phase::idle);
    setfullanswer({});
    setanswer({});
    setturnline({});
    clearfinishedturn();
    // The last game's drawing goes now, not when the first drawer has picked.
    emit boardWiped();
    st.start = false;
    st.gamerunning = true;
    actashost();
    emit phaseEntered(Phase::idle);
    for (int seat = 1; seat <= 10; ++seat) {
        setscore(seat, QStringLiteral("0"));
        setwatching(seat, false);
    }

    FieldReader f(rest);
    const int starter = f.nextInt();
    const QString team = f.next();
    const QString playto = f.next();
    const int seconds = numbers::strToIntDef(f.rest(), 120);
    setoptions(QStringLiteral("Play to Score: ") + playto, seconds);

    const bool team_ = team == QLatin1String("true");
    // Letter hints, if the game has them, are told right after the start (CMD_hints).
    st.options = {team_, numbers::strToIntDef(playto, 20), seconds, false};
    st.record.start(team_);
    st.againsent = false;
    const QString wording =
        team_ ? QStringLiteral("started a TEAM game.") : QStringLiteral("started a game.");
    st.justwatch = !team_;
    emit controlsChanged();
    setteamgame(team_);
    // The starter is usually the hosting player; on that copy the line speaks to the player.
    const QString who =
        starter == st.mynumber ? QStringLiteral("You have ") : seatname(starter) + QStringLiteral(" has ");
    emit chatLine(QStringLiteral("0+") + who + wording, watchcolour);
}

void PlayerGame::hintson(const QString &rest)
{
    if (rest == QLatin1String("true"))
        st.options.hints = true;
}

void PlayerGame::pickcatagory(const QString &rest)
{
    emit phaseEntered(Phase::picking);
    st.pickseen = true;
    st.gamerunning = true;
    actashost();
    st.won = false;
    emit controlsChanged();
    st.drawernumber = leadingInt(rest);
    // A turn that timed out, or whose drawer left, leaves its drawer's and guessers' controls.
    st.picked = false;
    enterphase(Phase::picking);
    movemark(Mark::arrow, st.drawernumber);
    // The break is over: the finished turn's phrase, banner, marks and snapshot button go. Its
    // drawing stays until the next drawer starts.
    clearfinishedturn();
    if (drawing())
        setturnline(QStringLiteral("Your turn to choose a category."));
    else if (isseat(st.drawernumber))
        setturnline(seatname(st.drawernumber) + QStringLiteral(" is choosing a category."));
    else
        setturnline({});
    if (drawing())
        emit cue(QStringLiteral("turn"));
    restartclock(turnclock::Mode::pause, 10);
}

void PlayerGame::getnextplayer(const QString &rest)
{
    st.won = st.start = false;
    st.gamerunning = true;
    actashost(); // a game runs: also for number 1 joining in the middle of one
    setfullanswer({});
    emit guessesCleared();
    // The break is over: the pick's panel, the snapshot button and the marks go.
    if (st.phase != Phase::drawing)
        st.phase = Phase::idle;
    emit controlsChanged();
    st.roundcaption.clear();
    // A copy that joined during the turn has just been sent the drawing so far: it stays.
    if (st.pickseen)
        emit boardWiped();

    FieldReader f(rest);
    st.drawernumber = f.nextInt();
    const int cat = f.nextInt();
    emit cue(QStringLiteral("cat") + QString::number(cat));
    st.turn.category = cat >= 0 && cat <= 6 ? cat : -1;
    emit turnChanged();
    st.record.turnbegan(seatname(st.drawernumber), st.turn.category);
    setanswer(text::codepageUpper(f.rest()));
    emit phaseEntered(Phase::drawing);
    movemark(Mark::drawer, st.drawernumber);
    // The pick put the arrow at the drawer's row already, unless this copy joined after it.
    if (drawing() || !st.pickseen)
        movemark(Mark::arrow, st.drawernumber);

    const bool mine = drawing();
    setturnline(mine ? QStringLiteral("Your turn to draw.")
                     : seatname(st.drawernumber) + QStringLiteral("'s turn to draw."));
    st.passed = false;
    st.phraseline = mine;
    enterphase(Phase::drawing);

    // The clock keeps its rhythm if it is already running.
    startturnclock();
}

void PlayerGame::guessed(const QString &rest)
{
    FieldReader f(rest);
    const int guesser = f.nextInt();
    emit guessAdded(false, seatname(guesser) + QStringLiteral(" guessed: ") + text::codepageUpper(f.rest()));
}

void PlayerGame::myguessed(const QString &rest)
{
    FieldReader f(rest);
    const int guesser = f.nextInt();
    emit guessAdded(true, seatname(guesser) + QStringLiteral(" answered: ") + text::codepageUpper(f.rest()));
}

void PlayerGame::veryclose(const QString &rest)
{
    FieldReader f(rest);
    const int guesser = f.nextInt();
    if (guesser != st.mynumber)
        return;
    emit guessAdded(true, text::codepageUpper(f.next()) + QStringLiteral(" is very close."));
}

void PlayerGame::updateanswer(const QString &rest)
{
    FieldReader f(rest);
    const QString flag = f.next();
    const QString text = text::codepageUpper(f.rest());
    if (flag == QLatin1String("true")) {
        // The time ran out: the text is the phrase, and nobody draws or passes any more.
        emit cue(QStringLiteral("noanswer"));
        emit chatLine(QStringLiteral("0+No one guessed!"), systemcolour);
        st.roundcaption =
            today() + QStringLiteral(": ") + seatname(st.drawernumber) + QLatin1Char('-') + text;
        recordturn(text, {});
        st.drawernumber = 0;
        enterphase(Phase::over);
        emit phaseEntered(Phase::over);
        emit controlsChanged();
        restartclock(turnclock::Mode::pause, 10);
    }
    setanswer(text);
}

void PlayerGame::passed(const QString &rest)
{
    emit cue(QStringLiteral("pass"));
    FieldReader f(rest);
    const int drawer = f.nextInt();
    setscore(drawer, f.rest());
    emit chatLine(QStringLiteral("0+") + seatname(drawer) +
                      QStringLiteral(" has bought a different phrase for one point."),
                  systemcolour);
}

void PlayerGame::correctanswer(const QString &rest)
{
    st.roundcaption = today() + QStringLiteral(": ") + seatname(st.drawernumber) + QLatin1Char('-');
    restartclock(turnclock::Mode::pause, 10);
    enterphase(Phase::over);

    FieldReader f(rest);
    const int guesser = f.nextInt();
    setscore(guesser, f.next());
    const int drawer = f.nextInt();
    setscore(drawer, f.next());
    const QString phrase = text::codepageUpper(f.rest());
    emit chatLine(QStringLiteral("0+") + seatname(guesser) + QStringLiteral(" has guessed the answer!"),
                  systemcolour);
    if (guesser == st.mynumber || drawing())
        emit cue(QStringLiteral("correct"));
    st.drawernumber = 0;

    movemark(Mark::guesser, guesser);
    enterphase(Phase::solved);
    emit phaseEntered(Phase::solved);
    emit controlsChanged();
    setanswer(phrase);
    st.roundcaption += phrase;
    recordturn(phrase, seatname(guesser));
}

void PlayerGame::recordturn(const QString &phrase, const QString &solver)
{
    if (st.record.turnended(phrase, solver))
        emit recorded(st.record.firstturn() + int(st.record.turns().size()) - 1);
}

void PlayerGame::winner(const QString &rest)
{
    emit cue(QStringLiteral("gameover"));
    emit chatLine(QStringLiteral("0+") + rest + QStringLiteral(" has Won the Game!"), systemcolour);
    st.turn.winner = rest;
    emit turnChanged();
    setturnline(QStringLiteral("The game is over."));
    st.won = true;
    // The podium ranks everyone seated and everyone who left during the game.
    QList<GameRecord::Player> seated;
    for (int seat = 1; seat <= 10; ++seat)
        if (st.seats[seat].name != waiting)
            seated.append({seat, st.seats[seat].name, numbers::strToIntDef(st.seats[seat].score, 0)});
    st.record.finish(
        rest, seated,
        {numbers::strToIntDef(st.seats[1].score, 0), numbers::strToIntDef(st.seats[2].score, 0)});
    st.podium = true;
    st.againsent = false;
    emit recorded(-1);
    emit controlsChanged();
    st.gamerunning = false;
    if (st.hostsay)
        offerstart(true);
}

void PlayerGame::playasound(const QString &rest)
{
    FieldReader f(rest);
    const QString sender = f.next();
    const QString name = f.next();
    if (st.playchattersounds) {
        emit soundPlayed(name);
        return;
    }
    // Shown as a line instead; a sender without a seat or an unknown sound shows nothing.
    const std::optional<int> number = numbers::tryStrToInt(sender);
    const int tag = chattersounds::tagof(name);
    if (!number || !isseat(*number) || tag == 0)
        return;
    emit chatLine(QStringLiteral("0+") + seatname(*number) + QStringLiteral(": <Chatter Sound> ") +
                      chattersounds::caption(tag),
                  bluecolour);
}
