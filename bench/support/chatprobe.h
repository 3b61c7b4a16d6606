#pragma once
// What the benchmarks of a live game share: waiting on the event loop, percentiles of timings,
// a chat player without a window that times its lines' echo through the host, and the floor of
// that echo.

#include "protocol/commands.h"
#include "protocol/cp1252.h"
#include "protocol/framing.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <functional>
#include <memory>

inline bool waitUntil(const std::function<bool()> &condition, int ms = 10000)
{
    QDeadlineTimer until(ms);
    while (!condition()) {
        if (until.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

struct Percentiles
{
    double p50 = 0, p99 = 0, max = 0;
};

inline Percentiles percentiles(QList<double> v)
{
    std::sort(v.begin(), v.end());
    if (v.isEmpty())
        return {};
    const auto at = [&](double q) {
        return v[std::min<qsizetype>(v.size() - 1, qsizetype(q * double(v.size())))];
    };
    return {at(0.50), at(0.99), v.last()};
}

// A chat player without a window: logs in under a name, sends a line when asked and times its
// echo from the host.
class ChatProbe : public QObject
{
public:
    explicit ChatProbe(quint16 port, const QString &name = QStringLiteral("Probe")) : name(name)
    {
        connect(&sock, &QTcpSocket::readyRead, this, [this] { read(); });
        connect(&sock, &QTcpSocket::disconnected, this, [this] { closed = true; });
        sock.connectToHost(QStringLiteral("127.0.0.1"), port);
        sock.waitForConnected(3000);
        sock.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    }
    int slot = 0;
    bool closed = false;
    // Milliseconds from each line to its echo; a line without an echo after a second counts as
    // the time it waited when the next one goes.
    QList<double> trips;
    void say()
    {
        if (slot == 0 || (!answered() && clock.elapsed() < 1000))
            return;
        if (!answered())
            trips << double(clock.elapsed());
        ++sent;
        clock.start();
        write(cmd::buildChat(slot, QStringLiteral("line %1").arg(sent), QStringLiteral("clBlack")));
    }
    bool answered() const { return echoed == sent; }

private:
    void write(const QString &text)
    {
        sock.write(framing::frame(cp1252::encode(text)));
        sock.flush();
    }
    void read()
    {
        QByteArrayList messages;
        frames.feed(sock.readAll(), messages);
        for (const QByteArray &m : messages) {
            const QString text = cp1252::decode(m);
            if (text.startsWith(QStringLiteral("CMD_sendlogininfo+"))) {
                slot = text.mid(18).toInt();
                write(cmd::buildLogininfo(slot, cmd::versionText, name));
            } else if (!answered() && text.startsWith(QStringLiteral("CMD_chat+")) &&
                       text.endsWith(QStringLiteral(" line %1|clBlack").arg(sent))) {
                trips << double(clock.nsecsElapsed()) / 1e6;
                echoed = sent;
            }
        }
    }
    QString name;
    QTcpSocket sock;
    framing::FrameBuffer frames;
    QElapsedTimer clock;
    int sent = 0, echoed = 0;
};

// The floor of a chat line's round trip: a bare Qt server that seats every connection in slot 2
// and passes each chat line back at once, framed as the host relays it; no queue, no rules.
class ChatEcho : public QObject
{
public:
    ChatEcho()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection())
                seat(s);
        });
    }
    quint16 port() const { return server.serverPort(); }

private:
    void seat(QTcpSocket *s)
    {
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        auto frames = std::make_shared<framing::FrameBuffer>();
        s->write(framing::frame(cp1252::encode(QStringLiteral("CMD_sendlogininfo+2"))));
        connect(s, &QTcpSocket::readyRead, s, [s, frames] {
            QByteArrayList messages;
            frames->feed(s->readAll(), messages);
            const QString prefix = QStringLiteral("CMD_chat+2+");
            for (const QByteArray &m : messages) {
                const QString text = cp1252::decode(m);
                if (text.startsWith(prefix))
                    s->write(framing::frame(cp1252::encode(
                        cmd::buildChatRelay(2, QStringLiteral("Probe"), text.mid(prefix.size())))));
            }
        });
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
    }
    QTcpServer server;
};
