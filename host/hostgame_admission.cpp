// The player table: accepting and refusing connections, the login, departures, removal by the
// host's player, just watching, and the full player list.
#include "host/hostgame.h"
#include "protocol/playername.h"

#include "protocol/commands.h"
#include "protocol/fields.h"
#include "protocol/text.h"

int HostGame::freeslot() const
{
    int slot = 0;
    if (highslot == 0) {
        slot = 1;
    } else {
        int n = 1;
        while (n < highslot && playertable[n].inuse)
            ++n;
        if (!playertable[n].inuse)
            slot = n;
        else if (highslot < maxslot)
            slot = highslot + 1;
    }
    return slot;
}

void HostGame::join(int slot, quint64 connection)
{
    if (slot < 1 || slot > maxslot)
        return;
    highslot = qMax(highslot, slot);
    tplayer &p = playertable[slot];
    p.inuse = true;
    p.connection = connection;
    p.name.clear();
    p.loggedin = false;
    p.askshints = false;
    sendto(slot, cmd::buildSendlogininfo(slot));
}

void HostGame::receivedlogininfo(const QueuedMessage &m, const QString &payload)
{
    FieldReader f(payload);
    const int slot = f.nextInt();
    const QString version = f.next();
    if (!sentby(m, slot))
        return;
    tplayer &p = playertable[slot];
    // A connection logs in once: another login would rename the player, announce him again and
    // send him the whole drawing again.
    if (p.loggedin)
        return;
    // Names are shown and relayed on one line, and held to the rule the join dialog holds them to,
    // whoever sent them: a name the dialog would not take could pass the player off as nobody.
    const QString name = text::wireSafe(f.rest());
    if (const QString why = playername::loginproblem(name); !why.isEmpty()) {
        out.note(slotname(slot) + QStringLiteral(" refused: the name \"") + playername::shown(name) +
                 (playername::seatable(name) ? QStringLiteral("\": ") + why
                                             : QStringLiteral("\" would look like an empty seat")));
        disconnectsock(slot);
        return;
    }
    p.name = name;
    p.inuse = true;
    p.loggedin = true;
    // A seat's score is a newcomer's only when he is the one who left it during this game. In a
    // team game a seat holds its team's score, which stays.
    const bool returning = p.leftname == name;
    p.leftname.clear();
    if (!teamgame && !returning) {
        p.score = 0;
        p.scorer.clear();
    }

    sendtoall(cmd::buildNewplayerinfo(slot, p.name));
    for (int i = 1; i <= highslot; ++i) {
        if (i != slot && playertable[i].inuse && playertable[i].loggedin)
            sendto(slot, cmd::buildExistingplayers(i, playertable[i].name));
    }
    // The state of the game goes ahead of the drawing history: a drawing turn begins with a wipe
    // of the drawing area, which must not erase the strokes the newcomer is sent.
    sendgamestate(slot);
    // The others' panels still show what the seat held before.
    if (running() && !teamgame && isseat(slot))
        sendscores(slot);
    for (const QString &line : std::as_const(memo_drawing))
        sendto(slot, line);
    if (version != cmd::versionText) {
        // The first player hears about the others, and only once seated.
        if (slot != 1 && seated(1))
            sendto(1, cmd::buildHavewrongversion(p.name));
        sendto(slot, cmd::buildWrongversion());
    }
}

void HostGame::sendgamestate(int slot)
{
    if (!running())
        return;
    sendto(slot, state == Phase::picking ? cmd::buildPickcatagoryTurn(curdrawer)
                                         : cmd::buildNextplayer(curdrawer, curcategory, themask));
    // The scores come before the break: they set a newcomer's clock to the turn's time, the time
    // left then to what every other clock shows, and the break sets it to the break's.
    sendto(slot, cmd::buildGamestats(winscore, turntime - 2, seatscores()));
    // A newcomer may lead the next game: Play Again keeps the hints only if it knows of them.
    if (hintsgame)
        sendto(slot, cmd::buildHintsOn());
    if (state == Phase::drawing)
        sendto(slot, cmd::buildUpdatetime(secondsshown()));
    if (teamgame)
        sendto(slot, cmd::buildTeamscore(seatscores()));
    // In the break everybody else sees the phrase: found, or shown at the time-out.
    if (state == Phase::found)
        sendto(slot, cmd::buildCorrectanswer(solver, playertable[solver].score, curdrawer,
                                             playertable[curdrawer].score, thephrase));
    else if (state == Phase::shown)
        sendto(slot, cmd::buildUpdateanswer(true, thephrase));
}

void HostGame::leave(int slot, quint64 connection)
{
    if (slot < 1 || slot > maxslot)
        return;
    tplayer &p = playertable[slot];
    // A later report of a connection whose slot has already been given to somebody else.
    if (p.connection && p.connection != connection)
        return;
    if (p.inuse)
        sendtoothers(slot, cmd::buildPlayerdisconnected(slot, p.name));
    if (p.loggedin)
        p.leftname = p.name;
    p.inuse = false;
    p.name.clear();
    p.watching = false;
    p.loggedin = false;
    p.askshints = false;
    p.connection = 0;
    // Slot 1 is an ordinary seat here too: on a dedicated host the first player can leave mid-game.
    if (slot == curdrawer)
        drawergone();
}

void HostGame::drawergone()
{
    // The drawer's turn ends with the drawer: the next seat picks at once. In the break the turn
    // is over already, and the break ends early the way it always ends.
    if (inbreak()) {
        endbreak();
    } else if (running()) {
        stopclock();
        findplayer();
    }
}

void HostGame::kickhim(const QueuedMessage &m, const QString &payload)
{
    FieldReader f(payload);
    const int sender = f.nextInt();
    const int target = f.nextInt();
    if (sender != leader() || !sentby(m, sender))
        return;
    // The removed player hears it before the hang-up, so its window can say why the game ended.
    if (inuse(target))
        sendto(target, cmd::buildPlayerdisconnected(target, playertable[target].name));
    disconnectsock(target);
}

void HostGame::disconnectsock(int slot)
{
    if (inuse(slot))
        out.hangup(slot);
}

void HostGame::justwatch(const QueuedMessage &m, const QString &payload)
{
    FieldReader f(payload);
    const int n = f.nextInt();
    const QString mode = f.rest();
    // Players ask for themselves; only the host's player may set another seat.
    if (n == m.slot ? !sentby(m, n) : (!sentby(m, leader()) || !inuse(n)))
        return;
    if (mode == QLatin1String("2")) {
        playertable[n].watching = false;
        sendtoall(cmd::buildJustwatching(n, 2));
    } else if (mode == QLatin1String("1")) {
        bool another = false;
        for (int i = 1; i <= seats && !another; ++i)
            another = i != n && playertable[i].inuse && !playertable[i].watching;
        if (!another)
            return;
        playertable[n].watching = true;
        sendtoall(cmd::buildJustwatching(n, 1));
        // The drawer's turn ends as it does when the drawer leaves: a break ends the way it always
        // ends, with the win test.
        if (n == curdrawer)
            drawergone();
    }
}

void HostGame::refreshplayerlist()
{
    for (int p = 1; p <= highslot; ++p) {
        if (!playertable[p].inuse)
            continue;
        for (int q = 1; q <= highslot; ++q) {
            if (playertable[q].inuse && playertable[q].loggedin)
                sendto(p, cmd::buildRefreshplayerlist(q, playertable[q].name));
        }
    }
}

int HostGame::leader() const
{
    for (int slot = 1; slot <= seats; ++slot)
        if (seated(slot))
            return slot;
    return 0;
}

std::array<int, 10> HostGame::seatscores() const
{
    std::array<int, 10> s{};
    for (int i = 0; i < seats; ++i)
        s[i] = playertable[i + 1].score;
    return s;
}
