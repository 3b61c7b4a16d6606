// The host's server: the listener, the connections by slot, the queue drain and the clock.
#include "host/tserver.h"

#include "host/tcpseat.h"
#include "platform/config.h"
#include "platform/errors.h"
#include "protocol/commands.h"
#include "protocol/cp1252.h"
#include "protocol/drainburst.h"
#include "protocol/framing.h"

#include <QElapsedTimer>

TServer::TServer(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Server"));
    listener.PortName = config::gamePort();
    listener.OnAccept = [this](TSock *s) { listenerAccept(s); };

    socktimer = new DrainTimer(
        10, [this] { guard([this] { socktimerTimer(); }); }, [this] { return !receivedlist.isEmpty(); },
        this);

    roundtime = new QTimer(this);
    connect(roundtime, &QTimer::timeout, this, [this] { guard([this] { rules.tick(); }); });

    uptime.start();
}

TServer::~TServer() = default;

quint64 TServer::connection(int slot) const
{
    return slot >= 1 && slot <= HostGame::maxslot && seats[slot] ? seats[slot]->serial() : 0;
}

void TServer::listenerAccept(TSock *)
{
    TSock *sock = nullptr;
    if (listener.Accept(sock))
        admit(new TcpSeat(sock, this));
}

void TServer::admit(Seat *seat)
{
    seat->setParent(this);
    const int slot = rules.freeslot();
    if (slot == 0) {
        // The table is full: record 16 takes the connection only to say so.
        seat->send(framing::frame(cp1252::encode(cmd::buildFull())));
        seat->close();
        seat->deleteLater();
        return;
    }
    seat->slot = slot;
    connect(seat, &Seat::arrived, this, [this, seat] { seatArrived(seat); });
    connect(seat, &Seat::gone, this, [this, seat] { seatGone(seat); });
    seats[slot] = seat;
    rules.join(slot, seat->serial());
    // A connection that never logs in would hold its slot for ever.
    QTimer::singleShot(loginwait, seat, [this, seat] {
        const int s = seat->slot;
        if (rules.inuse(s) && seats[s] == seat && !rules.player(s).loggedin)
            hangup(s);
    });
}

void TServer::seatGone(Seat *sender)
{
    // What it still has waiting would be refused, as it holds no slot any more: forgotten now.
    receivedlist.drop(sender->serial());
    const int slot = sender->slot;
    if (slot < 1 || slot > HostGame::maxslot)
        return;
    // A later report of a connection whose slot has already been given to somebody else.
    if (seats[slot] && seats[slot] != sender)
        return;
    if (seats[slot]) {
        seats[slot] = nullptr;
        // Gone for good; never deleted from inside its own notification.
        sender->deleteLater();
    }
    rules.leave(slot, sender->serial());
}

void TServer::seatArrived(Seat *sender)
{
    const QStringList texts = sender->take();
    if (texts.isEmpty())
        return;
    const quint64 from = sender->serial();
    for (const QString &text : texts) {
        QueuedMessage m{text, sender->slot, from};
        // Only requests the host knows take a place in the queue: anything else would be
        // dropped at its tick anyway.
        if (!HostGame::known(splitCommand(m.text).word))
            continue;
        // Past its relay budget a connection's messages wait; one that has this much waiting is
        // flooding, and would fill the host's memory.
        if (receivedlist.queued(from) >= maxqueued ||
            receivedlist.queuedchars(from) + m.text.size() > maxwaitingtext) {
            dropflooder(from, m.slot, QStringLiteral("sent more than the host keeps waiting"));
            socktimer->wake();
            return;
        }
        // All connections together may not fill the host's memory either: the one with the most
        // text waiting is closed, and what it sent is forgotten.
        while (receivedlist.chars() + m.text.size() > maxqueuedtext && !receivedlist.isEmpty()) {
            const quint64 heaviest = receivedlist.heaviest();
            int slot = 0;
            for (int i = 1; i <= rules.lastslot() && slot == 0; ++i)
                if (seats[i] && seats[i]->serial() == heaviest)
                    slot = i;
            dropflooder(heaviest, slot,
                        QStringLiteral("had the most waiting when the host's queue was full"));
            if (heaviest == from) {
                socktimer->wake();
                return;
            }
        }
        receivedlist.push(std::move(m));
    }
    socktimer->wake();
}

void TServer::dropflooder(quint64 connection, int slot, const QString &why)
{
    emit noted(rules.slotname(slot) + QLatin1Char(' ') + why + QStringLiteral(": disconnected"));
    disconnectconnection(connection);
}

void TServer::disconnectconnection(quint64 connection)
{
    for (int i = 1; i <= rules.lastslot(); ++i) {
        if (seats[i] && seats[i]->serial() == connection) {
            hangup(i);
            break;
        }
    }
    receivedlist.drop(connection);
}

bool TServer::withinbudget(const QueuedMessage &m, qint64 nowMs)
{
    std::optional<Sender> &slot = senders[size_t(rules.inuse(m.slot) ? m.slot : 0)];
    if (!slot)
        slot.emplace(relaylimits, nowMs);
    Sender &sender = *slot;
    if (sender.budget.spend(nowMs, m.text.size()))
        return true;
    if (!sender.held) {
        sender.held = true;
        emit noted(rules.slotname(m.slot) +
                   QStringLiteral(" sends faster than the host passes on: its messages wait their turn"));
    }
    return false;
}

void TServer::socktimerTimer()
{
    QElapsedTimer work;
    work.start();
    bool took = processsocktimer();
    // A backlog (a drawer's undo, a flood) goes faster than one message a tick, still taking the
    // connections in turn; the tick stops after a few milliseconds so sockets and timers are served,
    // or when only messages that wait for their budget are left. Each further message ends on its
    // own error.
    while (took && drainburst::more(receivedlist.size(), work.nsecsElapsed(), drainburst::hostBudgetNs)) {
        took = false;
        guard([&] { took = processsocktimer(); });
    }
}

bool TServer::processsocktimer()
{
    const qint64 at = now();
    const qsizetype before = receivedlist.size();
    const QueuedMessage m =
        receivedlist.take([&](const QueuedMessage &next) { return withinbudget(next, at); });
    if (receivedlist.size() == before)
        return false;
    if (std::optional<Sender> &sender = senders[size_t(rules.inuse(m.slot) ? m.slot : 0)];
        sender && receivedlist.queued(m.connection) == 0)
        sender->held = false;
    rules.receive(m);
    return true;
}

void TServer::sendto(int slot, const QString &text)
{
    if (!rules.inuse(slot) || !seats[slot])
        return;
    seats[slot]->send(framing::frame(cp1252::encode(text)));
}

void TServer::sendtoall(const QString &text)
{
    sendtoothers(0, text);
}

void TServer::sendtoothers(int slot, const QString &text)
{
    emit said(text);
    // Encoded and framed once for everybody.
    const QByteArray bytes = framing::frame(cp1252::encode(text));
    for (int i = 1; i <= rules.lastslot(); ++i) {
        if (i != slot && rules.inuse(i) && seats[i])
            seats[i]->send(bytes);
    }
}

void TServer::hangup(int slot)
{
    if (rules.inuse(slot) && seats[slot])
        seats[slot]->close();
}

void TServer::note(const QString &line)
{
    emit noted(line);
}

void TServer::runclock(bool on)
{
    if (on)
        roundtime->start(clockms);
    else
        roundtime->stop();
}
