#pragma once

// A stand-in for a home router's UPnP IGD on 127.0.0.1: serves its description and answers the
// port mapping requests, recording each one. Nothing leaves this machine.

#include "tests/support/httprequest.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace testsupport {

class StandInRouter : public QObject
{
public:
    struct Request
    {
        QString action;              // AddPortMapping, DeletePortMapping, GetExternalIPAddress, ...
        QMap<QString, QString> args; // NewExternalPort -> "7772", ...
    };

    QList<Request> requests;
    QString externalAddress = QStringLiteral("203.0.113.7");
    int refuseCode = 0;         // answers every AddPortMapping with this UPnP error when not 0
    bool permanentOnly = false; // answers a mapping with a lease with 725 OnlyPermanentLeasesSupported
    int dripMs = 0;             // when not 0, every answer goes out one byte at a time, this far apart
    qint64 oversizeBytes = 0;   // when not 0, the description is this long: filler after the real one
    QByteArray addAnswer;       // when not empty, the whole body of a 200 answer to AddPortMapping

    StandInRouter()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] { read(s); });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }

    QString descriptionUrl() const
    {
        return QStringLiteral("http://127.0.0.1:%1/rootDesc.xml").arg(server.serverPort());
    }
    QList<Request> of(const QString &action) const
    {
        QList<Request> out;
        for (const Request &r : requests)
            if (r.action == action)
                out << r;
        return out;
    }
    int descriptionReads = 0;

private:
    void read(QTcpSocket *s)
    {
        QByteArray &buf = buffers[s];
        buf += s->readAll();
        QByteArray head, body;
        if (!testsupport::takeRequest(buf, head, body))
            return;
        buffers.remove(s);
        if (head.startsWith("GET ")) {
            ++descriptionReads;
            if (oversizeBytes > 0)
                return flood(s);
            reply(s, 200, description());
            return;
        }
        static const QRegularExpression actionField(QStringLiteral("(?i)\r\nsoapaction:\\s*\"?[^#]*#(\\w+)"));
        Request r;
        r.action = actionField.match(QString::fromLatin1(head)).captured(1);
        static const QRegularExpression argument(QStringLiteral("<(New\\w+)>([^<]*)</\\1>"));
        for (auto it = argument.globalMatch(QString::fromUtf8(body)); it.hasNext();) {
            const auto a = it.next();
            r.args[a.captured(1)] = a.captured(2);
        }
        requests << r;
        if (r.action == QLatin1String("AddPortMapping")) {
            if (!addAnswer.isEmpty())
                return send(s, 200, addAnswer);
            if (refuseCode)
                return fault(s, refuseCode);
            if (permanentOnly && r.args.value(QStringLiteral("NewLeaseDuration")) != QLatin1String("0"))
                return fault(s, 725);
        }
        QString inner;
        if (r.action == QLatin1String("GetExternalIPAddress"))
            inner = QStringLiteral("<NewExternalIPAddress>") + externalAddress +
                    QStringLiteral("</NewExternalIPAddress>");
        reply(s, 200,
              envelope(QStringLiteral("<u:%1Response xmlns:u=\"%2\">%3</u:%1Response>")
                           .arg(r.action, service, inner)));
    }

    void fault(QTcpSocket *s, int code)
    {
        reply(s, 500,
              envelope(QStringLiteral(
                           "<s:Fault><faultcode>s:Client</faultcode><faultstring>UPnPError</faultstring>"
                           "<detail><UPnPError xmlns=\"urn:schemas-upnp-org:control-1-0\"><errorCode>%1"
                           "</errorCode><errorDescription>refused</errorDescription></UPnPError></detail>"
                           "</s:Fault>")
                           .arg(code)));
    }

    static QString envelope(const QString &inner)
    {
        return QStringLiteral(
                   "<?xml version=\"1.0\"?>\r\n<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/"
                   "envelope/\" s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body>") +
               inner + QStringLiteral("</s:Body></s:Envelope>\r\n");
    }

    void reply(QTcpSocket *s, int status, const QString &body) { send(s, status, body.toUtf8()); }

    static QByteArray head(int status, qint64 length)
    {
        return "HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Internal Server Error") +
               "\r\nContent-Type: text/xml; charset=\"utf-8\"\r\nContent-Length: " +
               QByteArray::number(length) + "\r\nConnection: close\r\n\r\n";
    }

    void send(QTcpSocket *s, int status, const QByteArray &body)
    {
        const QByteArray all = head(status, body.size()) + body;
        if (dripMs <= 0) {
            s->write(all);
            s->disconnectFromHost();
            return;
        }
        auto *tick = new QTimer(s);
        auto at = std::make_shared<qsizetype>(0);
        connect(tick, &QTimer::timeout, s, [s, tick, all, at] {
            s->write(all.mid((*at)++, 1));
            if (*at >= all.size()) {
                tick->stop();
                s->disconnectFromHost();
            }
        });
        tick->start(dripMs);
    }

    // The description, then filler up to oversizeBytes, written as fast as the reader takes it.
    void flood(QTcpSocket *s)
    {
        const QByteArray real = description().toUtf8();
        auto left = std::make_shared<qint64>(oversizeBytes - real.size());
        s->write(head(200, oversizeBytes) + real);
        const auto more = [s, left] {
            while (*left > 0 && s->bytesToWrite() < 256 * 1024) {
                const qint64 n = std::min<qint64>(*left, 64 * 1024);
                s->write(QByteArray(n, ' '));
                *left -= n;
            }
            if (*left <= 0)
                s->disconnectFromHost();
        };
        connect(s, &QTcpSocket::bytesWritten, s, more);
        more();
    }

    QString description() const
    {
        return QStringLiteral(
                   "<?xml version=\"1.0\"?>\r\n<root "
                   "xmlns=\"urn:schemas-upnp-org:device-1-0\"><specVersion><major>1"
                   "</major><minor>0</minor></specVersion><device><deviceType>urn:schemas-upnp-org:device:"
                   "InternetGatewayDevice:1</deviceType><friendlyName>Stand-in "
                   "router</friendlyName><deviceList>"
                   "<device><deviceType>urn:schemas-upnp-org:device:WANDevice:1</"
                   "deviceType><serviceList><service>"
                   "<serviceType>urn:schemas-upnp-org:service:WANCommonInterfaceConfig:1</"
                   "serviceType><serviceId>"
                   "urn:upnp-org:serviceId:WANCommonIFC1</serviceId><controlURL>/ctl/CmnIfCfg</controlURL>"
                   "<eventSubURL>/evt/CmnIfCfg</eventSubURL><SCPDURL>/WANCfg.xml</SCPDURL></service></"
                   "serviceList>"
                   "<deviceList><device><deviceType>urn:schemas-upnp-org:device:WANConnectionDevice:1</"
                   "deviceType>"
                   "<serviceList><service><serviceType>") +
               service +
               QStringLiteral(
                   "</serviceType><serviceId>urn:upnp-org:serviceId:WANIPConn1</serviceId><controlURL>"
                   "/ctl/IPConn</controlURL><eventSubURL>/evt/IPConn</eventSubURL><SCPDURL>/WANIPCn.xml"
                   "</SCPDURL></service></serviceList></device></deviceList></device></deviceList>"
                   "</device></root>\r\n");
    }

    inline static const QString service = QStringLiteral("urn:schemas-upnp-org:service:WANIPConnection:1");
    QTcpServer server{this};
    QHash<QTcpSocket *, QByteArray> buffers;
};

// The stand-in serving from a thread of its own, for callers that wait on the router (closing a
// hosting copy, a RouterOpening going): its thread stops when it goes, however the test ends.
// Read its records after stop().
class ServedRouter
{
public:
    StandInRouter stand;

    ServedRouter()
    {
        stand.moveToThread(&thread);
        thread.start();
    }
    ~ServedRouter() { stop(); }
    ServedRouter(const ServedRouter &) = delete;
    ServedRouter &operator=(const ServedRouter &) = delete;

    void stop()
    {
        thread.quit();
        thread.wait();
    }
    // Changes the stand-in on its own thread, and waits until that is done.
    template <typename F> void change(F f)
    {
        QMetaObject::invokeMethod(
            &stand, [this, &f] { f(stand); }, Qt::BlockingQueuedConnection);
    }

private:
    QThread thread;
};

} // namespace testsupport
