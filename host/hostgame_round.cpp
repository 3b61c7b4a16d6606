// The clock: ends the picking, drawing and break phases and reports the time left.
#include "host/hints.h"
#include "host/hostgame.h"

#include "protocol/commands.h"

void HostGame::endbreak()
{
    stopclock();
    if (!checkforwin())
        findplayer();
}

int HostGame::secondsshown() const
{
    return state == Phase::drawing ? countdown - 4 : countdown - 2;
}

void HostGame::sendscores(int except)
{
    sendtoothers(except, cmd::buildGamestats(winscore, turntime - 2, seatscores()));
    if (state == Phase::drawing)
        sendtoothers(except, cmd::buildUpdatetime(secondsshown()));
}

void HostGame::givehints()
{
    const int due = hints::due(turntime - 2, secondsshown());
    for (; hintsgiven < due; ++hintsgiven) {
        const QList<qsizetype> letters = hints::candidates(thephrase, themask);
        if (letters.isEmpty())
            return;
        themask = hints::reveal(thephrase, themask, letters.at(random(int(letters.size()))));
        sendtoall(cmd::buildUpdateanswer(false, themask));
    }
}

void HostGame::tick()
{
    // The server's timer only runs while the clock does; a tick that comes anyway is dropped.
    if (!clockon)
        return;
    --countdown;
    if (countdown >= 0) {
        if (countdown % 10 == 0)
            sendtoall(cmd::buildUpdatetime(secondsshown()));
        if (state == Phase::drawing && hintsgame)
            givehints();
        return;
    }
    stopclock();
    if (state == Phase::drawing) {
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
        state = Phase::shown;
        startclock();
    } else if (inbreak()) {
        endbreak();
    } else if (state == Phase::picking) {
        // Nobody picked in time: a category is drawn at random, and everybody is told why.
        curcategory = random(phrases::categories);
        findphrases();
        sendtoall(hostline(playertable[curdrawer].name + QStringLiteral(" took too long; the host chose ") +
                           phrases::categoryname(curcategory) + QLatin1Char('.')));
    }
}
