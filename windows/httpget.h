#pragma once

#include <QCryptographicHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>

class QIODevice;

// One HTTP GET at a time whose body goes into a caller's file as it arrives. It runs on the event
// loop: get() returns at once and done() reports the end.
class HttpGet : public QObject
{
    Q_OBJECT
public:
    explicit HttpGet(QObject *parent = nullptr);

    QString URL;
    QString Agent = QStringLiteral("Mozilla/3.0 (compatible)");
    QString Accept = QStringLiteral("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    // Body bytes received so far.
    qint64 RcvdCount = 0;
    // The SHA-256 digest of the body received so far.
    QByteArray bodyDigest() const { return digest.result(); }

    // Starts the GET; redirects are followed. Does nothing while one runs.
    void get(QIODevice *out);
    // Ends a running GET as failed: status 404, "Connection aborted on request".
    void abort();
    bool running() const { return reply != nullptr; }

    struct Result
    {
        // Below 400 on success. A look-up or connection failure and an abort count as 404.
        int status = 0;
        QString reason;
        // The body could not be written; status and reason then describe nothing.
        QString writeError;
        bool ok() const { return status > 0 && status < 400 && writeError.isEmpty(); }
    };

signals:
    // Once per response header line (the status line included).
    void headerData();
    void docBegin();
    void docData(qint64 rcvd);
    void done(const HttpGet::Result &result);

private:
    void headersArrived();
    void bodyArrived();
    void finished();

    QNetworkAccessManager manager;
    QPointer<QNetworkReply> reply;
    QIODevice *out = nullptr;
    bool begun = false;
    bool aborted = false;
    QString writeError;
    QCryptographicHash digest{QCryptographicHash::Sha256};
};
