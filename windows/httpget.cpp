#include "windows/httpget.h"

#include <QIODevice>
#include <QNetworkReply>
#include <QNetworkRequest>

HttpGet::HttpGet(QObject *parent) : QObject(parent)
{
    // An https address must not be sent on to plain http.
    manager.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

void HttpGet::get(QIODevice *file)
{
    if (reply)
        return;
    out = file;
    RcvdCount = 0;
    begun = false;
    aborted = false;
    writeError.clear();
    digest.reset();
    QNetworkRequest request{QUrl(URL)};
    request.setHeader(QNetworkRequest::UserAgentHeader, Agent);
    request.setRawHeader("Accept", Accept.toLatin1());
    reply = manager.get(request);
    connect(reply, &QNetworkReply::metaDataChanged, this, &HttpGet::headersArrived);
    connect(reply, &QIODevice::readyRead, this, &HttpGet::bodyArrived);
    connect(reply, &QNetworkReply::finished, this, &HttpGet::finished);
}

void HttpGet::abort()
{
    if (!reply)
        return;
    aborted = true;
    reply->abort();
}

void HttpGet::headersArrived()
{
    const qsizetype lines = 1 + reply->rawHeaderPairs().size();
    for (qsizetype i = 0; i < lines; ++i)
        emit headerData();
}

void HttpGet::bodyArrived()
{
    const QByteArray data = reply->readAll();
    if (data.isEmpty() || !writeError.isEmpty())
        return;
    // The text of an error answer ("404 Not Found") is no part of the document.
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() >= 400)
        return;
    if (!begun) {
        begun = true;
        emit docBegin();
    }
    if (out->write(data) != data.size()) {
        // Disk full or the like: stop fetching what can't be kept.
        writeError = out->errorString();
        reply->abort();
        return;
    }
    digest.addData(data);
    RcvdCount += data.size();
    emit docData(RcvdCount);
}

void HttpGet::finished()
{
    if (reply->error() == QNetworkReply::NoError)
        bodyArrived(); // anything still buffered
    QNetworkReply *r = reply;
    reply = nullptr;
    Result result;
    const QVariant status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!writeError.isEmpty()) {
        result.writeError = writeError;
    } else if (aborted) {
        result = {404, QStringLiteral("Connection aborted on request"), {}};
    } else if (status.isValid() && status.toInt() >= 400) {
        result.status = status.toInt();
        result.reason = r->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    } else if (r->error() != QNetworkReply::NoError || !status.isValid()) {
        // No answer at all (look-up, connection, a cut-off body, a refused redirect).
        result = {404, r->errorString(), {}};
    } else {
        result.status = status.toInt();
        result.reason = r->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    }
    r->deleteLater();
    out = nullptr;
    emit done(result);
}
