#include "client/core/playergame.h"

#include "protocol/errors.h"
#include "protocol/fields.h"
#include "protocol/numbers.h"
#include <QStringList>

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
}

void PlayerGame::restartclock(int mode, int seconds)
{
    turnClock->stop();
    turnClockMode = mode;
    secondsleft = seconds;
    emit clockChanged();
    turnClock->start();
}

void PlayerGame::startturnclock()
{
    turnClockMode = 1;
    secondsleft = turnseconds;
    emit clockChanged();
    if (!turnClock->isActive())
        turnClock->start();
}

void PlayerGame::stopclock()
{
    turnClock->stop();
}

void PlayerGame::setsecondsleft(int seconds)
{
    secondsleft = seconds;
    emit clockChanged();
}

void PlayerGame::turnClockTick()
{
    --secondsleft;
    emit clockChanged();
    if (secondsleft < 0)
        turnClock->stop();
}

QString PlayerGame::seatname(int number) const
{
    return isseat(number) ? seats[number].name : QString();
}

void PlayerGame::setseatname(int number, const QString &name)
{
    if (!isseat(number))
        return;
    seats[number].name = name;
    emit seatChanged(number);
}

void PlayerGame::setscore(int number, const QString &score)
{
    if (!isseat(number))
        return;
    seats[number].score = score;
    emit scoreChanged(number);
}

void PlayerGame::setwatching(int number, bool on)
{
    if (!isseat(number))
        return;
    seats[number].watching = on;
    emit seatChanged(number);
}

void PlayerGame::seatarrived(int number, const QString &name)
{
    if (!isseat(number))
        return;
    ++seats[number].changes;
    setseatname(number, name);
}

void PlayerGame::seatleft(int number)
{
    if (!isseat(number))
        return;
    Seat &s = seats[number];
    ++s.changes;
    s.name = waiting;
    s.watching = false;
    emit seatChanged(number);
}

void PlayerGame::spyarrived(int number, const QString &name)
{
    spies.append({number, name});
    emit spyAdded(number, name);
}

bool PlayerGame::spyleft(int number, const QString &name)
{
    for (qsizetype i = 0; i < spies.size(); ++i) {
        if (spies[i].number == number && spies[i].name == name) {
            spies.removeAt(i);
            emit spyRemoved(number, name);
            return true;
        }
    }
    return false;
}

bool PlayerGame::leadsthetable() const
{
    bool lead = loggedin && isseat(mynumber);
    for (int seat = 1; seat < mynumber && lead; ++seat)
        lead = seats[seat].name == waiting;
    return lead;
}

void PlayerGame::setoptions(const QString &caption, int seconds)
{
    playtocaption = caption;
    turnseconds = seconds;
    emit optionsChanged();
}

void PlayerGame::setteamgame(bool team)
{
    teamgame = team;
    emit teamChanged();
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
    // It follows the turn a newcomer was sent: that turn's clock runs on the game's time too.
    if (!pickseen && turnClockMode == 1)
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
