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
