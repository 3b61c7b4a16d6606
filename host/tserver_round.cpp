// The round timer: ends the picking, drawing and break phases and reports the time left.
#include "host/tserver.h"

#include "protocol/commands.h"

void TServer::endbreak()
{
    roundtime->stop();
    if (checkforwin()) {
        gameon = false;
        gamestate.clear();
    } else {
        findplayer();
    }
}

int TServer::secondsshown() const
{
    return gamestate == QLatin1String("drawing") ? countdown - 4 : countdown - 2;
}

void TServer::sendscores(int except)
{
    sendtoothers(except, cmd::buildGamestats(winscore, turntime - 2, seatscores()));
    if (gamestate == QLatin1String("drawing"))
        sendtoothers(except, cmd::buildUpdatetime(secondsshown()));
}

void TServer::roundtimeTimer()
{
    --countdown;
    if (countdown >= 0) {
        if (countdown % 10 == 0)
            sendtoall(cmd::buildUpdatetime(secondsshown()));
        return;
    }
    roundtime->stop();
    if (gamestate == QLatin1String("drawing")) {
        // Nobody found the phrase in time: show it, and the drawer pays a point. The break that
        // follows is part of the running game, as the break after a found phrase is.
        tplayer &drawer = playertable[curdrawer];
        if (teamgame) {
            // The team pays, as it scores.
            addteampoints(curdrawer, -1);
            sendtoall(cmd::buildTeamscore(seatscores()));
        } else {
            drawer.score = qMax(0, drawer.score - 1);
            // Every panel shows the point the drawer lost. The scores go ahead of the phrase,
            // whose break clock then stands on every screen.
            sendtoall(cmd::buildGamestats(winscore, turntime - 2, seatscores()));
        }
        sendtoall(cmd::buildUpdateanswer(true, thephrase));
        countdown = 10;
        gamestate = QStringLiteral("break");
        roundtime->start();
    } else if (gamestate == QLatin1String("break")) {
        endbreak();
    } else if (gamestate == QLatin1String("picking")) {
        findphrases();
    }
}
