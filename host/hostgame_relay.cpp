// Requests the host only passes on: chat lines, actions, chatter sounds, the drawer's strokes and
// wipes, with the drawing history that newcomers are shown.
#include "host/hostgame.h"
#include "host/strokecheck.h"

#include "protocol/commands.h"
#include "protocol/fields.h"
#include "protocol/text.h"

#include <utility>

void HostGame::chat(const QueuedMessage &m, const QString &payload)
{
    FieldReader f(payload);
    const int n = f.nextInt();
    if (!sentby(m, n))
        return;
    sendtoall(cmd::buildChatRelay(n, playertable[n].name, text::wireSafe(f.rest())));
}

void HostGame::action(const QueuedMessage &m, const QString &payload)
{
    FieldReader f(payload);
    const int n = f.nextInt();
    if (!sentby(m, n))
        return;
    sendtoall(cmd::buildActionRelay(n, playertable[n].name, text::wireSafe(f.rest())));
}

void HostGame::playasound(const QueuedMessage &m, const QString &payload)
{
    FieldReader f(payload);
    const int n = f.nextInt();
    if (!sentby(m, n))
        return;
    sendtoall(cmd::buildPlayasoundRelay(n, text::wireSafe(f.rest())));
}

void HostGame::storestroke(const QString &line)
{
    // The history is sent whole to every newcomer: it stays far below what a connection may
    // leave unread, whatever a player sends while no game empties it.
    if (historysize + line.size() > maxhistory) {
        if (!std::exchange(historyfull, true))
            out.note(QStringLiteral("The drawing history of this turn is full: later strokes reach the "
                                    "players who are in, but no newcomer"));
        return;
    }
    memo_drawing.append(line);
    historysize += line.size();
}

void HostGame::clearhistory()
{
    memo_drawing.clear();
    historysize = 0;
    historyfull = false;
}

// Only the drawer's strokes while a game is on go into the history and on to the others: the
// history is what every newcomer is shown, so it holds nothing the players did not see.
void HostGame::relaystroke(const QueuedMessage &m, const QString &word, const QString &payload)
{
    const int n = FieldReader(payload).nextInt();
    if (!sentby(m, n) || !running() || n != curdrawer)
        return;
    // One that a player could not read would raise an error box on every screen, and on every
    // newcomer's through the history.
    if (!strokecheck::reads(word, payload))
        return;
    const QString line = word + QLatin1Char('+') + payload;
    storestroke(line);
    sendtoothers(n, line);
}

void HostGame::moveit(const QueuedMessage &m, const QString &payload)
{
    relaystroke(m, cmd::moveit, payload);
}

void HostGame::drawit(const QueuedMessage &m, const QString &payload)
{
    relaystroke(m, cmd::draw, payload);
}

void HostGame::clearmain(const QueuedMessage &m, const QString &payload)
{
    const int n = FieldReader(payload).restInt();
    if (!sentby(m, n))
        return;
    if (!running() || n != curdrawer)
        return;
    clearhistory();
    sendtoothers(n, cmd::buildClearmain(n));
}
