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

void TServer::roundtimeTimer()
{
    --countdown;
    if (countdown >= 0) {
        if (countdown % 10 == 0)
            sendtoall(cmd::buildUpdatetime(countdown - 2));
        return;
    }
    roundtime->stop();
    if (gamestate == QLatin1String("drawing")) {
        // Nobody found the phrase in time: show it, and the drawer pays a point.
        gameon = false;
        sendtoall(cmd::buildUpdateanswer(true, thephrase));
        tplayer &drawer = playertable[curdrawer];
        drawer.score = qMax(0, drawer.score - 1);
        countdown = 10;
        gamestate = QStringLiteral("break");
        roundtime->start();
    } else if (gamestate == QLatin1String("break")) {
        endbreak();
    } else if (gamestate == QLatin1String("picking")) {
        findphrases();
    }
}
