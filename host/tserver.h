#pragma once

#include "host/fairqueue.h"
#include "host/hostgame.h"
#include "host/relaybudget.h"
#include "host/seat.h"
#include "protocol/drain.h"
#include "protocol/tsock.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>

// The host's server: the listener, the players' connections by slot, the fair queue of their
// requests and its drain, and the game's one-second clock. It feeds the game (HostGame), the single
// authority of the game, and delivers what the game says. It has no window, so it also runs
// without a screen.
class TServer : public QObject, public HostOutbox
{
    Q_OBJECT
public:
    explicit TServer(QObject *parent = nullptr);
    ~TServer() override;

    HostGame &game() { return rules; }
    const HostGame &game() const { return rules; }

    // The listener; its PortName is the game port.
    TSock listener;

    // What each connection may have handled and passed on; past it, its messages wait their turn.
    RelayLimits relaylimits;
    // A connection with more than this waiting only floods: it is closed as a departure. An undo
    // of a long turn, all sent at once, stays well below.
    qsizetype maxqueued = 6000;
    qsizetype maxwaitingtext = 2'500'000;
    // Characters of text the queue holds at most, from all connections together: about 16 MB
    // as the host keeps them.
    qsizetype maxqueuedtext = 8 * 1024 * 1024;
    // Milliseconds a new connection has for its login before it is closed.
    int loginwait = 30000;
    // Milliseconds of one second of the game's clock. Tests that tick the game by hand make it
    // long enough never to come.
    int clockms = 1000;
    // Milliseconds on the host's steady clock, for the relay budgets; tests set their own clock.
    std::function<qint64()> clock;

    // The requests waiting to be handled.
    const FairQueue &queue() const { return receivedlist; }
    // A new connection from any listener: it takes the next free slot, or is told the table is
    // full and let go. The server owns it from now on.
    void admit(Seat *seat);
    // The serial number of the connection in a slot; 0 for none.
    quint64 connection(int slot) const;
    // One tick of the queue drain: the next message in turn, dispatched, and while a backlog waits
    // more of them for a few milliseconds.
    void socktimerTimer();
    // A message to every player from the host itself (a lobby closing its tables).
    void tellall(const QString &text) { sendtoall(text); }

signals:
    // Every message sent to all players, or to all but one, as it leaves: joins, departures,
    // the game start, turns and the winner among them.
    void said(const QString &text);
    // What the host did about a connection that sent too much, or a player it refused, for the log.
    void noted(const QString &line);

private:
    // What the game says, delivered (the outbox, also for tests that speak as the host).
    void sendto(int slot, const QString &text) override;
    void sendtoothers(int slot, const QString &text) override;
    void sendtoall(const QString &text) override;
    void hangup(int slot) override;
    void note(const QString &line) override;
    void runclock(bool on) override;

    // Connection handlers.
    void listenerAccept(TSock *sender);
    void seatArrived(Seat *sender);
    void seatGone(Seat *sender);

    // One message off the queue, from a connection within its relay budget, dispatched; false
    // when none could be taken.
    bool processsocktimer();
    // Closes the connection with the given serial number as a departure.
    void disconnectconnection(quint64 connection);
    // Closes a connection that sent more than the host keeps waiting, and says so.
    void dropflooder(quint64 connection, int slot, const QString &why);
    qint64 now() const { return clock ? clock() : uptime.elapsed(); }
    bool withinbudget(const QueuedMessage &m, qint64 nowMs);

    HostGame rules{*this};
    // The connection in each slot the game has given out.
    std::array<Seat *, HostGame::maxslot + 1> seats{};
    FairQueue receivedlist;
    DrainTimer *socktimer = nullptr;
    // The game's clock, one tick a second (clockms) while it runs.
    QTimer *roundtime = nullptr;

    struct Sender
    {
        Sender(const RelayLimits &limits, qint64 nowMs) : budget(limits, nowMs) {}
        RelayBudget budget;
        // Its messages wait for the budget (told to the log once each time).
        bool held = false;
    };
    // By slot, for the whole run: a sender who hangs up and comes back finds his budget as he left
    // it, and a newcomer in the slot finds it refilled by the time between.
    std::array<std::optional<Sender>, 16> senders;
    QElapsedTimer uptime;
};
