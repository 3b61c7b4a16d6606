#include "fleet/agonessdk.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {

QByteArray json(const QJsonObject &o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

} // namespace

std::optional<quint16> AgonesSdk::portFromEnvironment()
{
    if (!qEnvironmentVariableIsSet("AGONES_SDK_HTTP_PORT"))
        return std::nullopt;
    bool ok = false;
    const int n = qEnvironmentVariable("AGONES_SDK_HTTP_PORT").trimmed().toInt(&ok);
    return quint16(ok && n >= 1 && n <= 65535 ? n : 0);
}

AgonesSdk::AgonesSdk(quint16 port, const Timing &t, QObject *parent)
    : QObject(parent), net(new QNetworkAccessManager(this)),
      base(QStringLiteral("http://localhost:") + QString::number(port)), timing(t)
{
    // The sidecar is on this machine: never through a proxy the environment may name.
    net->setProxy(QNetworkProxy::NoProxy);
    retry.setSingleShot(true);
    connect(&retry, &QTimer::timeout, this, &AgonesSdk::sendNext);
    health.setInterval(timing.healthMs);
    connect(&health, &QTimer::timeout, this, &AgonesSdk::ping);
}

void AgonesSdk::ready()
{
    enqueue({"POST", QStringLiteral("/ready"), "{}", {}});
}

void AgonesSdk::allocate()
{
    enqueue({"POST", QStringLiteral("/allocate"), "{}", {}});
}

void AgonesSdk::shutdown()
{
    enqueue({"POST", QStringLiteral("/shutdown"), "{}", {}});
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

QNetworkReply *AgonesSdk::send(const Call &call)
{
    QNetworkRequest request(QUrl(base + call.path));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    request.setTransferTimeout(timing.callMs);
    return net->sendCustomRequest(request, call.verb, call.body);
}

void AgonesSdk::sendNext()
{
    if (inflight || calls.isEmpty())
        return;
    inflight = send(calls.first());
    QNetworkReply *reply = inflight;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finished(reply); });
}

int AgonesSdk::longer(int p) const
{
    return p == 0 ? timing.retryMs : qMin(p * 2, timing.retryMaxMs);
}

void AgonesSdk::finished(QNetworkReply *reply)
{
    reply->deleteLater();
    inflight = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // No answer at all: the sidecar is not up (yet), or did not answer in time. Nothing goes on
    // before the server is ready, so a sidecar that is up but not yet able to take it is asked
    // again too.
    const bool ok = status >= 200 && status <= 299;
    if (status == 0 || (!ok && calls.first().path == QLatin1String("/ready"))) {
        pause = longer(pause);
        retry.start(pause);
        return;
    }
    pause = 0;
    const Call call = calls.takeFirst();
    if (!ok) {
        emit refused(QString::fromLatin1(call.verb) + QLatin1Char(' ') + call.path +
                     QStringLiteral(": HTTP ") + QString::number(status));
    } else if (call.path == QLatin1String("/ready") && !readyDone) {
        readyDone = true;
        health.start();
        watch();
        emit becameReady();
    }
    sendNext();
}

void AgonesSdk::ping()
{
    ++pings;
    QNetworkReply *reply = send({"POST", QStringLiteral("/health"), "{}", {}});
    connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

void AgonesSdk::watch()
{
    QNetworkRequest request(QUrl(base + QStringLiteral("/watch/gameserver")));
    watching = net->get(request);
    watchbuffer.clear();
    QNetworkReply *reply = watching;
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { watched(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        watching = nullptr;
        // The stream ended: it is opened again after a pause, longer each time it fails at once.
        watchpause = reply->error() == QNetworkReply::NoError ? timing.retryMs : longer(watchpause);
        QTimer::singleShot(watchpause, this, [this] {
            if (!watching)
                watch();
        });
    });
}

void AgonesSdk::watched(QNetworkReply *reply)
{
    watchbuffer += reply->readAll();
    // One JSON object a line: {"result": GameServer}.
    for (qsizetype end; (end = watchbuffer.indexOf('\n')) >= 0;) {
        const QByteArray line = watchbuffer.left(end).trimmed();
        watchbuffer.remove(0, end + 1);
        const QJsonObject result =
            QJsonDocument::fromJson(line).object().value(QStringLiteral("result")).toObject();
        const QString s =
            result.value(QStringLiteral("status")).toObject().value(QStringLiteral("state")).toString();
        if (!s.isEmpty() && s != gsstate) {
            gsstate = s;
            emit stateChanged(gsstate);
        }
    }
    // A stream that never ends a line is not the sidecar's.
    if (watchbuffer.size() > 1024 * 1024)
        reply->abort();
    else
        watchpause = 0;
}
