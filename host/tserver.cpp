// The host's server: the listener, the connections by slot, the queue drain and the clock.
#include "host/tserver.h"

#include "platform/config.h"
#include "platform/errors.h"
#include "protocol/commands.h"
#include "protocol/cp1252.h"
#include "protocol/drainburst.h"
#include "protocol/wire.h"

#include <QElapsedTimer>

TServer::TServer(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Server"));
    listener.PortName = config::gamePort();
    listener.OnRead = [this](TSock *s, qsizetype n) { listenerRead(s, n); };
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
    return slot >= 1 && slot <= HostGame::maxslot && socks[slot] ? socks[slot]->serial() : 0;
}

void TServer::listenerAccept(TSock *)
{
    const int slot = rules.freeslot();
    TSock *sock = nullptr;
    if (!listener.Accept(sock))
        return;
    if (slot == 0) {
        // The table is full: record 16 takes the connection only to say so.
        sock->OnInfo = nullptr;
        sock->OnDisconnect = nullptr;
        sock->OnRead = nullptr;
        wire::send(*sock, cmd::buildFull());
        sock->Close();
        sock->deleteLater();
        return;
    }
    sock->Tag = slot;
    sock->OnRead = listener.OnRead;
    sock->OnDisconnect = [this](TSock *s) { acceptedSocketDisconnect(s); };
    sock->OnInfo = [this](TSock *s, TSock::TSocketInfo i, const QString &msg) {
        acceptedSocketInfo(s, i, msg);
    };
    socks[slot] = sock;
    rules.join(slot, sock->serial());
    // A connection that never logs in would hold its slot for ever.
    QTimer::singleShot(loginwait, sock, [this, sock] {
        const int s = sock->Tag;
        if (rules.inuse(s) && socks[s] == sock && !rules.player(s).loggedin)
            hangup(s);
    });
}

void TServer::acceptedSocketDisconnect(TSock *sender)
{
    const int slot = sender->Tag;
    if (rules.inuse(slot) && socks[slot] == sender)
        sender->Close();
}

void TServer::acceptedSocketInfo(TSock *sender, TSock::TSocketInfo, const QString &msg)
{
    if (msg != QLatin1String("Socket Closed"))
        return;
    // What it still has waiting would be refused, as it holds no slot any more: forgotten now.
    receivedlist.drop(sender->serial());
    const int slot = sender->Tag;
    if (slot < 1 || slot > HostGame::maxslot)
        return;
    // A later report of a socket whose slot has already been given to somebody else.
    if (socks[slot] && socks[slot] != sender)
        return;
    if (socks[slot]) {
        socks[slot] = nullptr;
        // Gone for good; never deleted from inside its own notification.
        sender->deleteLater();
    }
    rules.leave(slot, sender->serial());
}

void TServer::listenerRead(TSock *sender, qsizetype)
{
    ReceiveQueue arrived;
    if (wire::receive(*sender, arrived, sender->Tag) == 0)
        return;
    const quint64 from = sender->serial();
    while (!arrived.isEmpty()) {
        QueuedMessage m = arrived.take();
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
                if (socks[i] && socks[i]->serial() == heaviest)
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
        if (socks[i] && socks[i]->serial() == connection) {
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
    if (!rules.inuse(slot) || !socks[slot])
        return;
    wire::send(*socks[slot], text);
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
        if (i != slot && rules.inuse(i) && socks[i])
            socks[i]->Send(bytes);
    }
}

void TServer::hangup(int slot)
{
    if (rules.inuse(slot) && socks[slot])
        socks[slot]->Close();
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
