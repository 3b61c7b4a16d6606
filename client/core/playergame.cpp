#include "client/core/playergame.h"

#include "protocol/errors.h"

#include <QTimer>

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
