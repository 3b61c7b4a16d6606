#pragma once

// A stand-in for the fleet engine's SDK sidecar on 127.0.0.1: answers its REST calls, records each
// one with the time it came, and streams the game server's state to watchers. Nothing leaves this
// machine.

#include "tests/support/httprequest.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

namespace testsupport {

class StandInSdk : public QObject
{
public:
    struct Call
    {
        QByteArray verb;
        QString path;
        QJsonObject body;
        qint64 ms; // since the stand-in was made
    };

    QList<Call> calls;
    // Called as each call arrives, before it is answered.
    std::function<void(const Call &)> arrived;
    QString state = QStringLiteral("Scheduled");
    // Calls answered "503 Service Unavailable" before the stand-in takes them.
    int unavailable = 0;

    StandInSdk() { clock.start(); }
    // Listens on 127.0.0.1, on the given port or a free one.
    bool listen(quint16 port = 0)
    {
        if (!server.listen(QHostAddress::LocalHost, port))
            return false;
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] { read(s); });
                connect(s, &QTcpSocket::disconnected, this, [this, s] {
                    watchers.removeAll(s);
                    buffers.remove(s);
                    s->deleteLater();
                });
            }
        });
        return true;
    }
    quint16 port() const { return server.serverPort(); }
    qint64 now() const { return clock.elapsed(); }

    QList<Call> of(const QString &path) const
    {
        QList<Call> out;
        for (const Call &c : calls)
            if (c.path == path)
                out << c;
        return out;
    }
    // A field of every call to the path, in order: a counter's counts, a label's values.
    QStringList values(const QString &path, const QString &field) const
    {
        QStringList out;
        for (const Call &c : of(path))
            out << c.body.value(field).toString();
        return out;
    }
    // The fleet moves the server to a state (an allocation, say); watchers hear of it.
    void setState(const QString &s)
    {
        state = s;
        for (QTcpSocket *w : std::as_const(watchers))
            chunk(w);
    }

private:
    void read(QTcpSocket *s)
    {
        QByteArray &buf = buffers[s];
        buf += s->readAll();
        QByteArray head, body;
        while (testsupport::takeRequest(buf, head, body)) {
            const QList<QByteArray> line = head.left(head.indexOf("\r\n")).split(' ');
            Call c{line.value(0), QString::fromLatin1(line.value(1)), QJsonDocument::fromJson(body).object(),
                   clock.elapsed()};
            if (c.path == QLatin1String("/watch/gameserver")) {
                watchers << s;
                s->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nTransfer-Encoding: "
                         "chunked\r\n\r\n");
                chunk(s);
                return;
            }
            if (unavailable > 0) {
                --unavailable;
                s->write("HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n\r\n");
                continue;
            }
            calls << c;
            if (arrived)
                arrived(c);
            if (c.path == QLatin1String("/ready"))
                setState(QStringLiteral("Ready"));
            else if (c.path == QLatin1String("/allocate"))
                setState(QStringLiteral("Allocated"));
            else if (c.path == QLatin1String("/shutdown"))
                setState(QStringLiteral("Shutdown"));
            const QByteArray body = "{}";
            s->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                     QByteArray::number(body.size()) + "\r\n\r\n" + body);
        }
    }
    // One line of the watch stream: {"result": GameServer}.
    void chunk(QTcpSocket *w)
    {
        const QByteArray line =
            QJsonDocument(QJsonObject{{QStringLiteral("result"),
                                       QJsonObject{{QStringLiteral("status"),
                                                    QJsonObject{{QStringLiteral("state"), state}}}}}})
                .toJson(QJsonDocument::Compact) +
            '\n';
        w->write(QByteArray::number(line.size(), 16) + "\r\n" + line + "\r\n");
    }

    QHash<QTcpSocket *, QByteArray> buffers;
    QList<QTcpSocket *> watchers;
    QElapsedTimer clock;
    // Last, so that its connections close while the rest is still there.
    QTcpServer server;
};

} // namespace testsupport
