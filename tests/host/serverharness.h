#pragma once

// A host's server on a free loopback port, with its own timers, and raw test clients that speak
// framed bytes to it.

#include "host/tserver.h"
#include "platform/errors.h"
#include "protocol/commands.h"
#include "protocol/cp1252.h"
#include "protocol/framing.h"
#include "tests/support/textsupport.h"

#include <QDeadlineTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <vector>

// Runs the event loop until the condition holds, without sleeping between events.
template <typename F> bool waitUntil(F condition, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    QTimer wake;
    wake.start(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

class RawClient : public QObject
{
public:
    explicit RawClient(quint16 port)
    {
        QObject::connect(&sock, &QTcpSocket::readyRead, this, [this] { read(); });
        QObject::connect(&sock, &QTcpSocket::disconnected, this, [this] { closed = true; });
        QObject::connect(&sock, &QTcpSocket::connected, this,
                         [this] { sock.setSocketOption(QAbstractSocket::LowDelayOption, 1); });
        sock.connectToHost(QStringLiteral("127.0.0.1"), port);
    }

    void send(const QString &text)
    {
        sock.write(framing::frame(cp1252::encode(text)));
        sock.flush();
    }
    void sendRaw(const QByteArray &bytes)
    {
        sock.write(bytes);
        sock.flush();
    }
    // Everything received since the last take, oldest first.
    QStringList take()
    {
        QStringList out;
        out.swap(got);
        return out;
    }
    bool waitFor(qsizetype count, int ms = 5000)
    {
        return waitUntil([&] { return got.size() >= count; }, ms);
    }
    bool waitClosed(int ms = 5000)
    {
        return waitUntil([&] { return closed; }, ms);
    }
    void disconnectFromHost() { sock.disconnectFromHost(); }

    int slot = 0;
    QStringList got;
    bool closed = false;
    QTcpSocket sock;

private:
    void read()
    {
        buffer += sock.readAll();
        // Acknowledge at once: the host's sockets wait for the acknowledgement before sending
        // the next small message, and a delayed one would cost 40 ms every time.
        const int on = 1;
        ::setsockopt(int(sock.socketDescriptor()), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
        qsizetype at;
        while ((at = buffer.indexOf(framing::endMarker)) >= 0) {
            got.append(cp1252::decode(buffer.left(at)));
            buffer.remove(0, at + 1);
        }
    }
    QByteArray buffer;
};

class Host
{
public:
    Host()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
        probe.close();
        errorbox::setHook([this](const QString &text) { boxes.append(text); });
        server.game().seed(7);
        server.listener.PortName = QString::number(port);
        server.listener.setListen(true);
    }
    ~Host() { errorbox::setHook(nullptr); }

    // A new connection, once the host has given it its slot (or refused it).
    RawClient *connect()
    {
        clients.push_back(std::make_unique<RawClient>(port));
        RawClient *c = clients.back().get();
        if (c->waitFor(1)) {
            const QString first = c->got.constFirst();
            if (first.startsWith(QStringLiteral("CMD_sendlogininfo+")))
                c->slot = first.mid(18).toInt();
        }
        return c;
    }
    // A connection that logs in with the given name; what everybody received up to then is dropped.
    RawClient *join(const QString &name, const QString &version = cmd::versionText)
    {
        RawClient *c = connect();
        c->send(cmd::buildLogininfo(c->slot, version, name));
        const QString joined = cmd::buildNewplayerinfo(c->slot, name);
        for (auto &other : clients) {
            if (!other->closed && server.game().inuse(other->slot))
                waitUntil([&] { return other->got.contains(joined); });
            other->take();
        }
        return c;
    }
    // Lets the host handle everything sent so far and makes sure all it sent has reached every
    // open client: the lowest slot chats a marker, the host handles the queue until the marker has gone
    // round, and every player receives it after all earlier messages. The marker is removed.
    // A request sent before by `via` is handled before the marker, which `via` then sends.
    bool sync(RawClient *via = nullptr)
    {
        RawClient *speaker = via;
        for (auto &c : clients) {
            if (!via && !c->closed && c->slot >= 1 && server.game().inuse(c->slot) &&
                (!speaker || c->slot < speaker->slot))
                speaker = c.get();
        }
        if (!speaker)
            return true;
        const QString marker = QStringLiteral("sync%1").arg(++syncs);
        auto isMarker = [&](const QString &m) {
            return m.startsWith(QStringLiteral("CMD_chat+")) &&
                   m.endsWith(marker + QStringLiteral("|clBlack"));
        };
        auto seen = [&](RawClient *c) { return std::any_of(c->got.cbegin(), c->got.cend(), isMarker); };
        speaker->send(cmd::buildChat(speaker->slot, marker, QStringLiteral("clBlack")));
        if (!waitUntil([&] { return seen(speaker); }))
            return false;
        for (auto &c : clients) {
            if (c->closed || !server.game().inuse(c->slot))
                continue;
            if (!waitUntil([&] { return seen(c.get()); }, 5000))
                return false;
            c->got.removeIf(isMarker);
        }
        return true;
    }
    // Sends a request from a client and lets the host handle it.
    bool request(RawClient *c, const QString &text)
    {
        c->send(text);
        return sync(c);
    }
    // Everything the host has sent so far, dropped.
    void takeAll()
    {
        sync();
        for (auto &c : clients)
            c->take();
    }

    TServer server;
    quint16 port = 0;
    QStringList boxes;
    std::vector<std::unique_ptr<RawClient>> clients;
    int syncs = 0;
};
