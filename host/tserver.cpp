// The host: sockets, sending, the queue drain and its dispatch table.
#include "host/tserver.h"

#include "platform/config.h"
#include "platform/errors.h"
#include "protocol/commands.h"
#include "protocol/cp1252.h"
#include "protocol/drainburst.h"
#include "protocol/wire.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <algorithm>

TServer::TServer(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Server"));
    listener.PortName = config::gamePort();
    listener.OnRead = [this](TSock *s, qsizetype n) { listenerRead(s, n); };
    listener.OnAccept = [this](TSock *s) { listenerAccept(s); };
    acceptedSocket.OnDisconnect = [this](TSock *s) { acceptedSocketDisconnect(s); };
    acceptedSocket.OnInfo = [this](TSock *s, TSock::TSocketInfo i, const QString &msg) {
        acceptedSocketInfo(s, i, msg);
    };

    socktimer = new DrainTimer(
        10,
        [this] {
            if (!manualtimers)
                guard([this] { socktimerTimer(); });
        },
        [this] { return !manualtimers && !receivedlist.isEmpty(); }, this);

    roundtime = new QTimer(this);
    roundtime->setInterval(1000);
    connect(roundtime, &QTimer::timeout, this, [this] {
        if (!manualtimers)
            guard([this] { roundtimeTimer(); });
    });

    uptime.start();
    rng.seed(quint32(QDateTime::currentMSecsSinceEpoch()));
    for (int c = 0; c < phrases::categories; ++c)
        setPhraseList(c, phrases::shippedlist(c));
}

TServer::~TServer() = default;

void TServer::setPhraseList(int category, const QStringList &list)
{
    if (category < 0 || category >= phrases::categories)
        return;
    shippedlist[category] = list;
    wordlist[category] = list;
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
        if (!known(splitCommand(m.text).word))
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
            for (int i = 1; i <= highslot && slot == 0; ++i)
                if (playertable[i].sock && playertable[i].sock->serial() == heaviest)
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
    emit noted(slotname(slot) + QLatin1Char(' ') + why + QStringLiteral(": disconnected"));
    disconnectconnection(connection);
}

QString TServer::slotname(int slot) const
{
    const QString name = inuse(slot) ? playertable[slot].name : QString();
    const QString text = QStringLiteral("Slot ") + QString::number(slot);
    return name.isEmpty() ? text : text + QStringLiteral(" (") + name + QLatin1Char(')');
}

bool TServer::withinbudget(const QueuedMessage &m, qint64 nowMs)
{
    std::optional<Sender> &slot = senders[size_t(inuse(m.slot) ? m.slot : 0)];
    if (!slot)
        slot.emplace(relaylimits, nowMs);
    Sender &sender = *slot;
    if (sender.budget.spend(nowMs, m.text.size()))
        return true;
    if (!sender.held) {
        sender.held = true;
        emit noted(slotname(m.slot) +
                   QStringLiteral(" sends faster than the host passes on: its messages wait their turn"));
    }
    return false;
}

void TServer::sendto(int slot, const QString &text)
{
    if (!inuse(slot) || !playertable[slot].sock)
        return;
    wire::send(*playertable[slot].sock, text);
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
    for (int i = 1; i <= highslot; ++i) {
        if (i != slot && playertable[i].inuse && playertable[i].sock)
            playertable[i].sock->Send(bytes);
    }
}

bool TServer::sentby(const QueuedMessage &m, int slot) const
{
    if (slot != m.slot || !inuse(slot))
        return false;
    const TSock *sock = playertable[slot].sock;
    return sock && sock->serial() == m.connection;
}

const TServer::Route TServer::dispatchtable[] = {
    {&cmd::logininfo, &TServer::receivedlogininfo},
    {&cmd::kickhim, &TServer::kickhim},
    {&cmd::chat, &TServer::chat},
    {&cmd::action, &TServer::action},
    {&cmd::startgame, &TServer::startgame},
    {&cmd::draw, &TServer::drawit},
    {&cmd::clearmain, &TServer::clearmain},
    {&cmd::answer, &TServer::answer},
    {&cmd::moveit, &TServer::moveit},
    {&cmd::pickcatagory, &TServer::pickcatagory},
    {&cmd::pass, &TServer::pass},
    {&cmd::justwatch, &TServer::justwatch},
    {&cmd::playasound, &TServer::playasound},
};

bool TServer::known(const QString &word)
{
    return std::any_of(std::begin(dispatchtable), std::end(dispatchtable),
                       [&](const Route &r) { return word == *r.word; });
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
    if (std::optional<Sender> &sender = senders[size_t(inuse(m.slot) ? m.slot : 0)];
        sender && receivedlist.queued(m.connection) == 0)
        sender->held = false;
    const CommandText c = splitCommand(m.text);
    if (c.word.isEmpty())
        return true;
    for (const Route &r : dispatchtable) {
        if (c.word == *r.word) {
            try {
                (this->*r.handler)(m, c.rest);
            } catch (const EConvertError &) {
                // A field from the network that does not read ends that message only. Anybody
                // can send one, so it is dropped quietly instead of raising a box per message.
            }
            return true;
        }
    }
    return true;
}

void TServer::describe(announce::Announcement &a) const
{
    a.seated = a.spies = 0;
    for (int slot = 1; slot <= maxslot; ++slot)
        if (playertable[slot].inuse)
            ++(isseat(slot) ? a.seated : a.spies);
    a.running = gameon;
}
