#include "fleet/agonessdk.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>

namespace {

QByteArray json(const QJsonObject &o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

const QString readyPath = QStringLiteral("/ready");
const QString shutdownPath = QStringLiteral("/shutdown");

} // namespace

std::optional<quint16> AgonesSdk::portFromEnvironment()
{
    if (!qEnvironmentVariableIsSet("AGONES_SDK_HTTP_PORT"))
        return std::nullopt;
    bool ok = false;
    const int n = qEnvironmentVariable("AGONES_SDK_HTTP_PORT").trimmed().toInt(&ok);
    return quint16(ok && n >= 1 && n <= 65535 ? n : 0);
}

AgonesSdk::AgonesSdk(quint16 p, const Timing &t, QObject *parent) : QObject(parent), port(p), timing(t)
{
    retry.setSingleShot(true);
    connect(&retry, &QTimer::timeout, this, &AgonesSdk::sendNext);
    health.setInterval(timing.healthMs);
    connect(&health, &QTimer::timeout, this, &AgonesSdk::ping);
    confirm.setSingleShot(true);
    confirm.setInterval(2 * timing.retryMaxMs);
    connect(&confirm, &QTimer::timeout, this, [this] {
        emit shutdownRepeated();
        shutdown();
    });
}

// Calls under way end with their sockets, without a word.
AgonesSdk::~AgonesSdk() = default;

void AgonesSdk::ready()
{
    enqueue({"POST", readyPath, "{}", {}});
}

void AgonesSdk::allocate()
{
    enqueue({"POST", QStringLiteral("/allocate"), "{}", {}});
}

void AgonesSdk::shutdown()
{
    // One is enough: a shutdown waiting or under way is not asked for twice.
    for (const Call &c : std::as_const(calls))
        if (c.path == shutdownPath)
            return;
    enqueue({"POST", shutdownPath, "{}", shutdownPath});
}

void AgonesSdk::setLabel(const QString &key, const QString &value)
{
    enqueue({"PUT", QStringLiteral("/metadata/label"),
             json({{QStringLiteral("key"), key}, {QStringLiteral("value"), value}}),
             QStringLiteral("label:") + key});
}

void AgonesSdk::setCounter(const QString &name, qint64 count)
{
    // The interface writes 64-bit numbers as strings.
    enqueue({"PATCH", QStringLiteral("/v1beta1/counters/") + name,
             json({{QStringLiteral("count"), QString::number(count)}}), QStringLiteral("counter:") + name});
}

void AgonesSdk::enqueue(Call call)
{
    // The call under way is not replaced: its answer is still to come.
    if (!call.key.isEmpty())
        for (qsizetype i = inflight ? 1 : 0; i < calls.size(); ++i)
            if (calls[i].key == call.key) {
                calls[i] = std::move(call);
                return;
            }
    calls << std::move(call);
    if (!inflight && !retry.isActive())
        sendNext();
}

void AgonesSdk::sendNext()
{
    if (inflight || calls.isEmpty())
        return;
    const Call &c = calls.first();
    inflight = new fleet::SidecarCall(port, c.verb, c.path, c.body, timing.callMs,
                                      [this](int code, const QByteArray &) { finished(code); }, this);
}

int AgonesSdk::longer(int p) const
{
    return p == 0 ? timing.retryMs : qMin(p * 2, timing.retryMaxMs);
}

void AgonesSdk::finished(int code)
{
    inflight = nullptr;
    Call &call = calls.first();
    ++call.tries;
    const bool ok = code >= 200 && code <= 299;
    // No whole answer in time, or the sidecar cannot take it yet (503 while it starts, 500 on a
    // passing fault): the same call again after a pause. Nothing goes on before the server is
    // ready, so ready is asked again whatever the answer.
    const bool again = code == 0 || code >= 500 || (!ok && call.path == readyPath);
    const bool endless = call.path == readyPath || call.path == shutdownPath;
    if (again && (endless || call.tries < maxTries)) {
        pause = longer(pause);
        retry.start(pause);
        return;
    }
    pause = 0;
    const Call done = calls.takeFirst();
    if (!ok) {
        emit refused(QString::fromLatin1(done.verb) + QLatin1Char(' ') + done.path +
                     (code == 0 ? QStringLiteral(": no answer") : QStringLiteral(": HTTP ") + QString::number(code)) +
                     (done.tries > 1 ? QStringLiteral(" after %1 tries").arg(done.tries) : QString()));
    } else if (done.path == readyPath && !readyDone) {
        readyDone = true;
        health.start();
        watch();
        emit becameReady();
    } else if (done.path == shutdownPath && gsstate != QLatin1String("Shutdown")) {
        confirm.start();
    }
    sendNext();
}

void AgonesSdk::ping()
{
    // One ping at a time: a sidecar that holds one gets no second, and the calls keep going out.
    if (pinging)
        return;
    ++pings;
    pinging = new fleet::SidecarCall(port, "POST", QStringLiteral("/health"), "{}", timing.callMs,
                                     [](int, const QByteArray &) {}, this);
}

void AgonesSdk::watch()
{
    decoder = {};
    watching = new QTcpSocket(this);
    // What the sidecar sends waits in the system, not here, until the loop reads it.
    watching->setReadBufferSize(fleet::maxAnswer);
    QTcpSocket *socket = watching;
    connect(socket, &QTcpSocket::connected, this, [this, socket] {
        socket->write(fleet::request(port, "GET", QStringLiteral("/watch/gameserver"), {}));
    });
    connect(socket, &QTcpSocket::readyRead, this, [this] {
        if (!stepping) {
            stepping = true;
            QTimer::singleShot(0, this, &AgonesSdk::watchStep);
        }
    });
    connect(socket, &QTcpSocket::disconnected, this, [this] { watchEnded(decoder.code() == 0); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (e != QAbstractSocket::RemoteHostClosedError)
            watchEnded(true);
    });
    // The head comes within a call's time; the stream itself may stay silent however long.
    QTimer::singleShot(timing.callMs, socket, [this] {
        if (decoder.code() == 0)
            watchEnded(true);
    });
    socket->connectToHost(QHostAddress(QHostAddress::LocalHost), port);
}

void AgonesSdk::watchStep()
{
    stepping = false;
    if (!watching)
        return;
    // At most one answer's worth a step: the loop runs between steps however fast the bytes come.
    const QByteArray bytes = watching->read(fleet::maxAnswer);
    QList<QByteArray> lines;
    const bool ok = decoder.feed(bytes, lines);
    // One JSON object a line: {"result": GameServer}.
    for (const QByteArray &line : std::as_const(lines)) {
        const QJsonObject result =
            QJsonDocument::fromJson(line).object().value(QStringLiteral("result")).toObject();
        const QString s =
            result.value(QStringLiteral("status")).toObject().value(QStringLiteral("state")).toString();
        if (!s.isEmpty() && s != gsstate) {
            gsstate = s;
            if (gsstate == QLatin1String("Shutdown"))
                confirm.stop();
            emit stateChanged(gsstate);
        }
    }
    if (!ok)
        return watchEnded(true);
    watchpause = 0;
    if (watching && watching->bytesAvailable() > 0) {
        stepping = true;
        QTimer::singleShot(0, this, &AgonesSdk::watchStep);
    }
}

void AgonesSdk::watchEnded(bool failed)
{
    if (!watching)
        return;
    watching->disconnect(this);
    watching->abort();
    watching->deleteLater();
    watching = nullptr;
    // Opened again after a pause, longer each time it fails at once.
    watchpause = failed ? longer(watchpause) : timing.retryMs;
    QTimer::singleShot(watchpause, this, [this] {
        if (!watching)
            watch();
    });
}
