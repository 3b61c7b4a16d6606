#pragma once

// A stand-in for the fleet engine's SDK sidecar on 127.0.0.1, as strict as the engine's own local
// SDK server and sidecar: 404 for a path it does not serve, 501 for a wrong method, 400 for a body
// that is not a JSON object, a bad label or an empty health ping, 500 for a counter not declared or
// a count out of its range, 503 while it is not up. Ready comes some time after the request (the
// GameServer goes Scheduled, RequestReady, Ready), every change sends the whole GameServer to the
// watchers, and a table whose pings stop for the health threshold turns Unhealthy. It records
// each call with its answer and the time it came. A misbehaving mode makes it a hostile sidecar.
// Nothing leaves this machine.

#include "tests/support/httprequest.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <memory>

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
        int code;  // the answer's status; 0 when the stand-in misbehaved instead
        // Answered as the stand-in was told (503 before it is up, a fault, a mischief).
        bool scripted = false;
    };
    struct Counter
    {
        qint64 count = 0;
        qint64 capacity = 0;
    };
    // What a hostile sidecar does instead of answering (on the paths in `mischiefPaths`, or all).
    enum class Mischief {
        None,
        BlankLines,     // the watch sends blank lines without end (calls are answered as ever)
        HugeAnswers,    // every answer is 200 with a body of floodBytes; the watch one endless line
        EndlessHeaders, // the head's header lines never end
        Drip,           // every answer comes a byte every dripMs
        Redirect,       // 307 to redirectTo
    };

    // Every call, answered or refused, in order.
    QList<Call> calls;
    // Called as each call arrives, before it is answered.
    std::function<void(const Call &)> arrived;
    QString state = QStringLiteral("Scheduled");
    // Calls answered "503 Service Unavailable" before the stand-in is up.
    int unavailable = 0;
    // The next calls to a path answered with a code instead of being taken: {"/shutdown", 500};
    // a 200 there is a call answered as taken that changes nothing.
    QList<QPair<QString, int>> faults;
    // The Fleet's counters, as its manifest declares them.
    QMap<QString, Counter> counters{{QStringLiteral("players"), {0, 10}}};
    QMap<QString, QString> labels;
    // Milliseconds from RequestReady to Ready.
    int readyMs = 30;
    // The Fleet's health check: pings are looked for every periodMs (0: never) from the first
    // ready; failureThreshold periods without one make the table Unhealthy.
    int healthPeriodMs = 0;
    int failureThreshold = 3;
    Mischief mischief = Mischief::None;
    QStringList mischiefPaths;
    qint64 floodBytes = 100 * 1024 * 1024;
    int dripMs = 50;
    QByteArray redirectTo;

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
        connect(&health, &QTimer::timeout, this, [this] {
            missed = pinged ? 0 : missed + 1;
            pinged = false;
            if (missed >= failureThreshold && state != QLatin1String("Shutdown"))
                setState(QStringLiteral("Unhealthy"));
        });
        return true;
    }
    quint16 port() const { return server.serverPort(); }
    qint64 now() const { return clock.elapsed(); }
    // The calls to the path the stand-in took (answered 2xx, not as it was told).
    QList<Call> of(const QString &path) const
    {
        QList<Call> out;
        for (const Call &c : calls)
            if (c.path == path && c.code / 100 == 2 && !c.scripted)
                out << c;
        return out;
    }
    // A field of every call taken on the path, in order: a counter's counts, a label's values.
    QStringList values(const QString &path, const QString &field) const
    {
        QStringList out;
        for (const Call &c : of(path))
            out << c.body.value(field).toVariant().toString();
        return out;
    }
    // Calls the stand-in refused on its own (not a 503 or a fault it was told to give): what the
    // real sidecar would refuse too.
    QList<Call> refusals() const
    {
        QList<Call> out;
        for (const Call &c : calls)
            if (c.code >= 400 && !c.scripted)
                out << c;
        return out;
    }
    // The fleet moves the server to a state (an allocation, say); watchers hear of it.
    void setState(const QString &s)
    {
        state = s;
        changed();
    }
    // The whole GameServer, as the sidecar gives it.
    QJsonObject gameServer() const
    {
        QJsonObject counted;
        for (auto c = counters.cbegin(); c != counters.cend(); ++c)
            counted[c.key()] = QJsonObject{{QStringLiteral("count"), QString::number(c->count)},
                                           {QStringLiteral("capacity"), QString::number(c->capacity)}};
        QJsonObject labelled;
        for (auto l = labels.cbegin(); l != labels.cend(); ++l)
            labelled[l.key()] = *l;
        return {{QStringLiteral("object_meta"),
                 QJsonObject{{QStringLiteral("name"), QStringLiteral("quillet-standin")},
                             {QStringLiteral("namespace"), QStringLiteral("default")},
                             {QStringLiteral("labels"), labelled}}},
                {QStringLiteral("status"),
                 QJsonObject{{QStringLiteral("state"), state},
                             {QStringLiteral("address"), QStringLiteral("127.0.0.1")},
                             {QStringLiteral("ports"), QJsonArray{QJsonObject{{QStringLiteral("name"), QStringLiteral("game")},
                                                                              {QStringLiteral("port"), 7772}}}},
                             {QStringLiteral("counters"), counted}}}};
    }

private:
    struct Answer
    {
        int code;
        QByteArray body;
    };

    void read(QTcpSocket *s)
    {
        QByteArray &buf = buffers[s];
        buf += s->readAll();
        QByteArray head, body;
        while (testsupport::takeRequest(buf, head, body)) {
            const QList<QByteArray> line = head.left(head.indexOf("\r\n")).split(' ');
            Call c{line.value(0), QString::fromLatin1(line.value(1)), {}, clock.elapsed(), 0, false};
            const QJsonDocument doc = QJsonDocument::fromJson(body);
            c.body = doc.object();
            const bool bodyOk = c.verb == "GET" || doc.isObject();
            if (arrived)
                arrived(c);
            if (hostile(c.path)) {
                buffers.remove(s);
                misbehave(s, c);
                return;
            }
            Answer a = answer(c, body, bodyOk);
            c.code = a.code;
            calls << c;
            if (c.path == QLatin1String("/watch/gameserver") && a.code == 200) {
                watchers << s;
                s->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nTransfer-Encoding: "
                         "chunked\r\n\r\n");
                chunk(s);
                return;
            }
            s->write("HTTP/1.1 " + QByteArray::number(a.code) + " X\r\nContent-Type: application/json\r\n"
                     "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n\r\n" + a.body);
        }
    }

    Answer answer(Call &c, const QByteArray &raw, bool bodyOk)
    {
        if (unavailable > 0) {
            --unavailable;
            c.scripted = true;
            return {503, "{\"error\":\"connection refused\"}"};
        }
        for (qsizetype i = 0; i < faults.size(); ++i)
            if (faults[i].first == c.path) {
                const int code = faults.takeAt(i).second;
                c.scripted = true;
                return {code, code == 200 ? QByteArray("{}") : QByteArray("{\"error\":\"transient\"}")};
            }
        static const QRegularExpression counterPath(QStringLiteral("^/v1beta1/counters/([^/]+)$"));
        const auto counter = counterPath.match(c.path);
        // The routes the sidecar serves, with their methods.
        static const QHash<QString, QByteArray> routes{
            {QStringLiteral("/ready"), "POST"},          {QStringLiteral("/health"), "POST"},
            {QStringLiteral("/allocate"), "POST"},       {QStringLiteral("/shutdown"), "POST"},
            {QStringLiteral("/metadata/label"), "PUT"},  {QStringLiteral("/metadata/annotation"), "PUT"},
            {QStringLiteral("/gameserver"), "GET"},      {QStringLiteral("/watch/gameserver"), "GET"}};
        const QByteArray method = counter.hasMatch() ? QByteArray("PATCH") : routes.value(c.path);
        if (method.isEmpty())
            return {404, "Not Found"};
        if (c.verb != method)
            return {501, "Method Not Allowed"};
        if (!bodyOk || (c.path == QLatin1String("/health") && raw.trimmed().isEmpty()))
            return {400, "{\"error\":\"bad body\"}"};
        if (counter.hasMatch())
            return count(counter.captured(1), c);
        if (c.path == QLatin1String("/ready")) {
            if (state == QLatin1String("Scheduled") || state == QLatin1String("RequestReady")) {
                setState(QStringLiteral("RequestReady"));
                QTimer::singleShot(readyMs, this, [this] {
                    if (state == QLatin1String("RequestReady"))
                        setState(QStringLiteral("Ready"));
                });
            }
            if (healthPeriodMs > 0 && !health.isActive())
                health.start(healthPeriodMs);
        } else if (c.path == QLatin1String("/health")) {
            pinged = true;
        } else if (c.path == QLatin1String("/allocate")) {
            setState(QStringLiteral("Allocated"));
        } else if (c.path == QLatin1String("/shutdown")) {
            setState(QStringLiteral("Shutdown"));
        } else if (c.path == QLatin1String("/metadata/label")) {
            // A label name of at most 63 characters once prefixed, and a valid label value.
            static const QRegularExpression name(QStringLiteral("^([A-Za-z0-9][-A-Za-z0-9_.]*)?[A-Za-z0-9]$"));
            const QString key = c.body.value(QStringLiteral("key")).toString();
            const QString value = c.body.value(QStringLiteral("value")).toString();
            const QString full = QStringLiteral("sdk-") + key;
            if (!c.body.value(QStringLiteral("key")).isString() || !c.body.value(QStringLiteral("value")).isString() ||
                full.size() > 63 || !name.match(full).hasMatch() || value.size() > 63 ||
                (!value.isEmpty() && !name.match(value).hasMatch()))
                return {400, "{\"error\":\"invalid label\"}"};
            labels[QStringLiteral("agones.dev/") + full] = value;
            changed();
        } else if (c.path == QLatin1String("/gameserver")) {
            return {200, QJsonDocument(gameServer()).toJson(QJsonDocument::Compact)};
        }
        return {200, "{}"};
    }

    // PATCH a counter: count, countDiff or capacity, 64-bit numbers as strings or numbers.
    Answer count(const QString &name, const Call &c)
    {
        if (!counters.contains(name))
            return {500, "{\"error\":\"counter not found\"}"};
        Counter next = counters[name];
        bool any = false;
        for (const char *field : {"count", "countDiff", "capacity"}) {
            const QJsonValue v = c.body.value(QLatin1String(field));
            if (v.isUndefined())
                continue;
            bool ok = false;
            const qint64 n = v.isString() ? v.toString().toLongLong(&ok) : qint64(v.toDouble());
            ok = ok || (v.isDouble() && v.toDouble() == double(n));
            if (!ok)
                return {400, "{\"error\":\"not a number\"}"};
            any = true;
            if (qstrcmp(field, "count") == 0)
                next.count = n;
            else if (qstrcmp(field, "countDiff") == 0)
                next.count += n;
            else
                next.capacity = n;
        }
        if (!any)
            return {400, "{\"error\":\"nothing to update\"}"};
        if (next.capacity < 0 || next.count < 0 || next.count > next.capacity)
            return {500, "{\"error\":\"out of range\"}"};
        counters[name] = next;
        changed();
        return {200, "{}"};
    }

    void changed()
    {
        for (QTcpSocket *w : std::as_const(watchers))
            chunk(w);
    }
    // One line of the watch stream: {"result": GameServer}.
    void chunk(QTcpSocket *w)
    {
        const QByteArray line =
            QJsonDocument(QJsonObject{{QStringLiteral("result"), gameServer()}}).toJson(QJsonDocument::Compact) + '\n';
        w->write(QByteArray::number(line.size(), 16) + "\r\n" + line + "\r\n");
    }

    bool hostile(const QString &path) const
    {
        if (mischief == Mischief::None || (!mischiefPaths.isEmpty() && !mischiefPaths.contains(path)))
            return false;
        return mischief != Mischief::BlankLines || path == QLatin1String("/watch/gameserver");
    }
    void misbehave(QTcpSocket *s, Call c)
    {
        c.scripted = true;
        calls << c;
        // The socket is read no more: whatever else comes is of no interest.
        s->disconnect(this);
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        switch (mischief) {
        case Mischief::BlankLines:
            s->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n\r\n");
            return flood(s, QByteArray(64 * 1024, '\n'));
        case Mischief::HugeAnswers:
            s->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                     QByteArray::number(floodBytes) + "\r\n\r\n");
            return flood(s, QByteArray(64 * 1024, 'x'));
        case Mischief::EndlessHeaders:
            s->write("HTTP/1.1 200 OK\r\n");
            return flood(s, QByteArray("X-Filler: ") + QByteArray(1000, 'y') + "\r\n");
        case Mischief::Drip:
            return drip(s, "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 2000\r\n\r\n" +
                               QByteArray(2000, ' '));
        case Mischief::Redirect:
            s->write("HTTP/1.1 307 Temporary Redirect\r\nLocation: " + redirectTo +
                     "\r\nContent-Length: 0\r\n\r\n");
            return;
        case Mischief::None:
            return;
        }
    }
    // Writes the piece again and again, up to floodBytes, as fast as the reader takes it.
    void flood(QTcpSocket *s, const QByteArray &piece)
    {
        auto left = std::make_shared<qint64>(floodBytes);
        const auto more = [s, piece, left] {
            while (*left > 0 && s->bytesToWrite() < 256 * 1024) {
                const QByteArray p = piece.left(qMin<qint64>(piece.size(), *left));
                *left -= p.size();
                s->write(p);
            }
        };
        connect(s, &QTcpSocket::bytesWritten, s, more);
        more();
    }
    void drip(QTcpSocket *s, const QByteArray &bytes)
    {
        auto *t = new QTimer(s);
        auto at = std::make_shared<qsizetype>(0);
        connect(t, &QTimer::timeout, s, [s, t, bytes, at] {
            if (*at < bytes.size())
                s->write(bytes.mid((*at)++, 1));
            else
                t->stop();
        });
        t->start(dripMs);
    }

    QHash<QTcpSocket *, QByteArray> buffers;
    QList<QTcpSocket *> watchers;
    QElapsedTimer clock;
    QTimer health;
    bool pinged = false;
    int missed = 0;
    // Last, so that its connections close while the rest is still there.
    QTcpServer server;
};

} // namespace testsupport
