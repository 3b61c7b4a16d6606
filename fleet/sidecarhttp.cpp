#include "fleet/sidecarhttp.h"

#include "router/httpanswer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

namespace fleet {

static_assert(maxAnswer == router::maxAnswer);

bool WatchDecoder::fail()
{
    phase = Broken;
    pending.clear();
    line.clear();
    return false;
}

bool WatchDecoder::feed(QByteArrayView bytes, QList<QByteArray> &lines)
{
    if (phase == Broken)
        return false;
    if (phase != Head)
        return body(bytes, lines);
    // The head ends at the first blank line; only its tail needs a look for it.
    const qsizetype from = qMax<qsizetype>(0, pending.size() - 3);
    pending += bytes;
    const qsizetype end = pending.indexOf("\r\n\r\n", from);
    if (end < 0)
        return pending.size() <= maxAnswer || fail();
    if (end > maxAnswer)
        return fail();
    const QByteArray rest = pending.mid(end + 4);
    pending.truncate(end);
    return head() && body(rest, lines);
}

bool WatchDecoder::head()
{
    const QList<QByteArray> fields = pending.split('\n');
    const QList<QByteArray> first = fields.first().trimmed().split(' ');
    bool ok = false;
    status = first.size() >= 2 ? first[1].toInt(&ok) : 0;
    if (!first.first().startsWith("HTTP/1.") || !ok || status < 200 || status > 299)
        return fail();
    phase = Plain;
    for (qsizetype i = 1; i < fields.size(); ++i) {
        const QByteArray field = fields[i].trimmed().toLower();
        if (field.startsWith("transfer-encoding:") && field.contains("chunked"))
            phase = Size;
    }
    pending.clear();
    return true;
}

bool WatchDecoder::body(QByteArrayView bytes, QList<QByteArray> &lines)
{
    while (!bytes.isEmpty()) {
        switch (phase) {
        case Plain:
            return take(bytes, lines);
        case Size: {
            const qsizetype eol = bytes.indexOf('\n');
            pending += bytes.first(eol < 0 ? bytes.size() : eol + 1);
            bytes = eol < 0 ? QByteArrayView() : bytes.sliced(eol + 1);
            // A size line is a few hex digits, perhaps with extensions.
            if (pending.size() > 1024)
                return fail();
            if (eol < 0)
                return true;
            QByteArray text = pending.trimmed();
            pending.clear();
            if (const qsizetype semi = text.indexOf(';'); semi >= 0)
                text.truncate(semi);
            bool ok = false;
            left = text.trimmed().toLongLong(&ok, 16);
            if (!ok || left < 0)
                return fail();
            // The last chunk: the stream is over, the close follows.
            phase = left == 0 ? Over : Data;
            break;
        }
        case Data: {
            const qsizetype n = qMin<qint64>(left, bytes.size());
            if (!take(bytes.first(n), lines))
                return false;
            bytes = bytes.sliced(n);
            left -= n;
            if (left == 0)
                phase = DataEnd;
            break;
        }
        case DataEnd: {
            // The CRLF after a chunk's data.
            pending += bytes.first(1);
            bytes = bytes.sliced(1);
            if (pending == "\r")
                break;
            if (pending != "\n" && pending != "\r\n")
                return fail();
            pending.clear();
            phase = Size;
            break;
        }
        case Over:
            return true;
        case Head:
        case Broken:
            return false;
        }
    }
    return true;
}

bool WatchDecoder::take(QByteArrayView data, QList<QByteArray> &lines)
{
    for (qsizetype eol; (eol = data.indexOf('\n')) >= 0; data = data.sliced(eol + 1)) {
        if (line.size() + eol > maxAnswer)
            return fail();
        line += data.first(eol);
        const QByteArray whole = line.trimmed();
        line.clear();
        if (!whole.isEmpty())
            lines << whole;
    }
    // Blank space between lines costs nothing to keep.
    if (line.isEmpty() && data.trimmed().isEmpty())
        return true;
    line += data;
    return line.size() <= maxAnswer || fail();
}

QByteArray request(quint16 port, const QByteArray &verb, const QString &path, const QByteArray &body)
{
    QByteArray out = verb + ' ' + path.toUtf8() + " HTTP/1.1\r\nHost: localhost:" + QByteArray::number(port) +
                     "\r\nAccept: application/json\r\nConnection: close\r\n";
    if (verb != "GET")
        out += "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n";
    return out + "\r\n" + body;
}

SidecarCall::SidecarCall(quint16 port, const QByteArray &verb, const QString &path, const QByteArray &body,
                         int deadlineMs, Done d, QObject *parent)
    : QObject(parent), socket(new QTcpSocket(this)), done(std::move(d))
{
    // Whatever comes is held in the socket no further than one answer's worth.
    socket->setReadBufferSize(maxAnswer + 1);
    connect(socket, &QTcpSocket::connected, this,
            [this, port, verb, path, body] { socket->write(request(port, verb, path, body)); });
    connect(socket, &QTcpSocket::readyRead, this, &SidecarCall::read);
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        received += socket->read(maxAnswer + 1 - received.size());
        if (received.size() > maxAnswer)
            return finish(0, {});
        const router::HttpAnswer a = router::readHttpAnswer(received, true);
        finish(a.status == router::HttpAnswer::Complete ? a.code : 0, a.body);
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        // The close is read as the end of the answer above.
        if (e != QAbstractSocket::RemoteHostClosedError)
            finish(0, {});
    });
    QTimer::singleShot(deadlineMs, this, [this] { finish(0, {}); });
    socket->connectToHost(QHostAddress(QHostAddress::LocalHost), port);
}

void SidecarCall::read()
{
    received += socket->read(maxAnswer + 1 - received.size());
    if (received.size() > maxAnswer)
        return finish(0, {});
    const router::HttpAnswer a = router::readHttpAnswer(received, false);
    if (a.status == router::HttpAnswer::Complete)
        finish(a.code, a.body);
    else if (a.status == router::HttpAnswer::Bad)
        finish(0, {});
}

void SidecarCall::finish(int code, const QByteArray &body)
{
    if (!done)
        return;
    const Done call = std::exchange(done, nullptr);
    socket->disconnect(this);
    socket->abort();
    deleteLater();
    call(code, body);
}

} // namespace fleet
