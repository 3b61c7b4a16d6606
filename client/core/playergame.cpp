#include "client/core/playergame.h"

#include "platform/errors.h"
#include "protocol/colortext.h"
#include "protocol/commands.h"
#include "protocol/fields.h"
#include "protocol/numbers.h"
#include "protocol/strokemessage.h"
#include "protocol/text.h"
#include <QStringList>
#include <QVarLengthArray>

#include <QTimer>

namespace {

// Every field of what remains, split at each "+"; an empty text is one empty piece.
QStringList allFields(FieldReader &f)
{
    QStringList pieces;
    while (f.rest().contains(QLatin1Char('+')))
        pieces << f.next();
    pieces << f.rest();
    return pieces;
}

} // namespace

PlayerGame::PlayerGame(QObject *parent) : QObject(parent)
{
    turnClock = new QTimer(this);
    turnClock->setInterval(1000);
    connect(turnClock, &QTimer::timeout, this, [this] { guard([this] { turnClockTick(); }); });
    phraseTimer = new QTimer(this);
    phraseTimer->setObjectName(QStringLiteral("phrasePause"));
    phraseTimer->setSingleShot(true);
    phraseTimer->setTimerType(Qt::PreciseTimer);
    phraseTimer->setInterval(phrasepause);
    connect(phraseTimer, &QTimer::timeout, this, [this] { st.phraseready = true; });
}

void PlayerGame::restartclock(turnclock::Mode mode, int seconds)
{
    turnClock->stop();
    st.clockmode = mode;
    st.secondsleft = seconds;
    emit clockChanged();
    turnClock->start();
}

void PlayerGame::startturnclock()
{
    st.clockmode = turnclock::Mode::drawing;
    st.secondsleft = st.turnseconds;
    emit clockChanged();
    if (!turnClock->isActive())
        turnClock->start();
}

void PlayerGame::stopclock()
{
    turnClock->stop();
}

bool PlayerGame::clockrunning() const
{
    return turnClock->isActive();
}

void PlayerGame::setsecondsleft(int seconds)
{
    st.secondsleft = seconds;
    emit clockChanged();
}

void PlayerGame::turnClockTick()
{
    --st.secondsleft;
    emit clockChanged();
    if (st.secondsleft < 0)
        turnClock->stop();
}

QString PlayerGame::seatname(int number) const
{
    return isseat(number) ? st.seats[number].name : QString();
}

void PlayerGame::setseatname(int number, const QString &name)
{
    if (!isseat(number))
        return;
    st.seats[number].name = name;
    emit seatChanged(number);
}

void PlayerGame::setscore(int number, const QString &score)
{
    if (!isseat(number))
        return;
    st.seats[number].score = score;
    emit seatChanged(number);
}

void PlayerGame::setwatching(int number, bool on)
{
    if (!isseat(number))
        return;
    st.seats[number].watching = on;
    emit seatChanged(number);
    if (number == st.mynumber)
        emit controlsChanged(); // the answer entry goes or comes back
}

void PlayerGame::seatarrived(int number, const QString &name)
{
    if (!isseat(number))
        return;
    ++st.seats[number].changes;
    setseatname(number, name);
    // A newcomer starts at nothing; the host tells the score of a player who got his seat back.
    setscore(number, QStringLiteral("0"));
}

void PlayerGame::seatleft(int number)
{
    if (!isseat(number))
        return;
    Seat &s = st.seats[number];
    ++s.changes;
    s.name = waiting;
    s.watching = false;
    emit seatChanged(number);
}

QString PlayerGame::shownscore(int number) const
{
    if (!isseat(number))
        return {};
    // A seat its player left shows no score; one nobody has held yet shows the panel's "0".
    const Seat &s = st.seats[number];
    return s.name == waiting && s.changes > 0 ? QString() : s.score;
}

void PlayerGame::spyarrived(int number, const QString &name)
{
    st.spies.append({number, name});
    emit spyAdded(number, name);
}

bool PlayerGame::spyleft(int number, const QString &name)
{
    for (qsizetype i = 0; i < st.spies.size(); ++i) {
        if (st.spies[i].number == number && st.spies[i].name == name) {
            st.spies.removeAt(i);
            emit spyRemoved(number, name);
            return true;
        }
    }
    return false;
}

bool PlayerGame::leadsthetable() const
{
    bool lead = st.loggedin && isseat(st.mynumber);
    for (int seat = 1; seat < st.mynumber && lead; ++seat)
        lead = st.seats[seat].name == waiting;
    return lead;
}

void PlayerGame::setoptions(const QString &caption, int seconds)
{
    st.playtocaption = caption;
    st.turnseconds = seconds;
    emit optionsChanged();
}

void PlayerGame::setteamgame(bool team)
{
    st.teamgame = team;
    emit optionsChanged();
}

void PlayerGame::refreshplayerlist(const QString &rest)
{
    FieldReader f(rest);
    const int number = f.nextInt();
    // A spy has no row: nothing changes.
    setseatname(number, f.rest());
}

void PlayerGame::gamestats(const QString &rest)
{
    FieldReader f(rest);
    const QString playto = f.next();
    const int seconds = numbers::strToIntDef(f.next(), 120);
    setoptions(QStringLiteral("Play to Score: ") + playto, seconds);
    st.options.playto = numbers::strToIntDef(playto, st.options.playto);
    st.options.seconds = seconds;
    // It follows the turn a newcomer was sent: that turn's clock runs on the game's time too.
    if (!st.pickseen && st.clockmode == turnclock::Mode::drawing)
        setsecondsleft(seconds);
    const QStringList scores = allFields(f);
    for (int i = 0; i < scores.size() && i < 10; ++i)
        setscore(i + 1, scores[i]);
}

void PlayerGame::teamscore(const QString &rest)
{
    // Only a team game has team scores: a copy that joined during the game learns here which
    // kind of game it is in.
    setteamgame(true);
    st.options.team = true;
    FieldReader f(rest);
    const QStringList scores = allFields(f);
    for (int i = 0; i < scores.size() && i < 10; ++i)
        setscore(i + 1, scores[i]);
}

void PlayerGame::justwatching(const QString &rest)
{
    FieldReader f(rest);
    const int number = f.nextInt();
    const QString flag = f.rest();
    if (!isseat(number))
        return;
    const bool watch = flag == QLatin1String("1");
    emit chatLine(QStringLiteral("0+") + seatname(number) +
                      (watch ? QStringLiteral(" is just watching.") : QStringLiteral(" now playing again")),
                  watchcolour);
    setwatching(number, watch);
}

void PlayerGame::send(const QString &message)
{
    if (outbox)
        outbox->send(message);
}

void PlayerGame::setstartup(const QString &name, const QString &address, bool solo)
{
    st.startup.name = name;
    st.startup.address = address;
    st.startup.solo = solo;
}

void PlayerGame::setphrase(int n, const QString &text)
{
    if (n >= 1 && n <= phrasecount)
        st.phrases[n - 1] = text;
}

void PlayerGame::sendloginfo(const QString &rest)
{
    st.mynumber = FieldReader(rest).restInt();
    st.loggedin = true;
    // From here on a turn without a pick before it is one this copy joined in the middle of.
    st.pickseen = false;
    emit loggedIn();
    send(cmd::buildLogininfo(st.mynumber, cmd::versionText, text::wireSafe(st.startup.loginname)));
    // Number 1 carries the hosting player's say on the host, also when no copy hosts.
    actashost();
}

void PlayerGame::newplayerinfo(const QString &rest)
{
    FieldReader f(rest);
    const int number = f.nextInt();
    const QString name = f.rest();
    if (number == st.mynumber) {
        emit chatLine(QStringLiteral("0+You are Connected."), systemcolour);
        emit connected();
    } else {
        emit chatLine(QStringLiteral("0+") + name + QStringLiteral(" is Connected."), systemcolour);
    }
    if (number > 10) {
        spyarrived(number, name);
        if (number == st.mynumber)
            emit chatLine(QStringLiteral("0+You are spying."), systemcolour);
        else
            emit chatLine(QStringLiteral("0+") + name + QStringLiteral(" is spying."), systemcolour);
    } else if (number >= 1) {
        st.record.playerback(name);
        seatarrived(number, name);
        actashost();
    }
    emit cue(QStringLiteral("entered"));
}

void PlayerGame::playerdisconnected(const QString &rest)
{
    FieldReader f(rest);
    const int number = f.nextInt();
    const QString name = f.rest();
    if (number == st.mynumber) {
        emit removed();
        return;
    }
    if (isseat(number)) {
        // A seat that is already empty adds no line.
        const QString seated = seatname(number);
        if (seated != waiting)
            emit chatLine(QStringLiteral("0+") + seated + QStringLiteral(" disconnected."), systemcolour);
        if (seated != waiting && st.gamerunning)
            st.record.playerleft({number, seated, numbers::strToIntDef(st.seats[number].score, 0)});
        seatleft(number);
        actashost();
    }
    if (spyleft(number, name))
        emit chatLine(QStringLiteral("0+") + name + QStringLiteral(" has left."), systemcolour);
}

void PlayerGame::havewrongversion(const QString &rest)
{
    emit chatLine(QStringLiteral("0+") + rest +
                      QStringLiteral(" has a different version of the game then you."),
                  bluecolour);
}

void PlayerGame::wrongversion(const QString &)
{
    emit chatLine(QStringLiteral("0+You have a different version of the game then the host."), bluecolour);
}

void PlayerGame::moveit(const QString &rest)
{
    FieldReader f(rest);
    QColor colour;
    int width = 0;
    QPoint p;
    try {
        if (f.nextInt() == st.mynumber)
            return;
        colour = colortext::toQColor(colortext::fromText(f.next()));
        width = f.nextInt();
        const int x = f.nextInt();
        p = QPoint(x, f.restInt());
    } catch (const EConvertError &) {
        return;
    }
    emit strokeStarted(p, colour, width);
}

void PlayerGame::drawit(const QString &rest)
{
    FieldReader f(rest);
    QColor colour;
    int width = 0;
    try {
        if (f.nextInt() == st.mynumber)
            return;
        colour = colortext::toQColor(colortext::fromText(f.next()));
        width = f.nextInt();
    } catch (const EConvertError &) {
        return;
    }
    // The points go as one run; a point that does not read ends the message, and the lines
    // before it are still drawn.
    QVarLengthArray<QPoint, 128> points;
    StrokePoints walk(f);
    QPoint p;
    try {
        while (walk.next(p))
            points.append(p);
    } catch (const EConvertError &) {
    }
    emit strokeDrawn(colour, width, points.constData(), points.size());
}

void PlayerGame::clearmain(const QString &rest)
{
    if (FieldReader(rest).restInt() == st.mynumber)
        return;
    emit boardWiped();
}

void PlayerGame::chatreceived(const QString &text)
{
    if (cmd::chat + QLatin1Char('+') + text == cmd::buildPaused()) {
        st.gamerunning = false;
        emit paused();
        // The hosting player may start a new game.
        if (st.hostsay)
            offerstart(true);
    }
    QString line = text;
    int colour = colortext::clWhite;
    // Colour text never holds a "|", but the line may (a typed one, or a name): the colour is
    // what follows the last one.
    if (const qsizetype bar = text.lastIndexOf(QLatin1Char('|')); bar >= 0) {
        line = text.left(bar);
        try {
            colour = colortext::fromText(text.mid(bar + 1));
        } catch (const EConvertError &) {
            colour = colortext::clWhite;
        }
    }
    emit chatLine(line, colour);
}
