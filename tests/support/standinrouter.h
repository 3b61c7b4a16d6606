#pragma once

// A stand-in for a home router's UPnP IGD on 127.0.0.1: serves its description and answers the
// port mapping requests, recording each one. Nothing leaves this machine.

#include <QHash>
#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

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
        const qsizetype end = buf.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = buf.left(end);
        static const QRegularExpression lengthField(QStringLiteral("(?i)\r\ncontent-length:\\s*(\\d+)"));
        const auto m = lengthField.match(QString::fromLatin1(head));
        const qsizetype length = m.hasMatch() ? m.captured(1).toLongLong() : 0;
        if (buf.size() < end + 4 + length)
            return;
        const QByteArray body = buf.mid(end + 4, length);
        buffers.remove(s);
        if (head.startsWith("GET ")) {
            ++descriptionReads;
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

    static void reply(QTcpSocket *s, int status, const QString &body)
    {
        const QByteArray b = body.toUtf8();
        s->write("HTTP/1.1 " + QByteArray::number(status) +
                 (status == 200 ? " OK" : " Internal Server Error") +
                 "\r\nContent-Type: text/xml; charset=\"utf-8\"\r\nContent-Length: " +
                 QByteArray::number(b.size()) + "\r\nConnection: close\r\n\r\n" + b);
        s->disconnectFromHost();
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

} // namespace testsupport
