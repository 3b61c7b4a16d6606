#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

// What the game says to a UPnP router and how it reads the router's answers. No socket.
namespace router {

// The router's service that maps ports: where to send its requests and its type.
struct Service
{
    QString controlUrl; // absolute http address
    QString type;       // urn:schemas-upnp-org:service:WANIPConnection:1, ...
    bool ok() const { return !controlUrl.isEmpty(); }
};

// The port-mapping service in a router's description read from `descriptionUrl`: a
// WANIPConnection first, else a WANPPPConnection. None when the description is not well-formed
// XML or names neither.
Service findService(const QByteArray &description, const QString &descriptionUrl);

// The body of a SOAP request: `action` of `serviceType` with these arguments, in order. The
// values are escaped for XML.
QByteArray soapRequest(const QString &serviceType, const QString &action,
                       const QList<QPair<QString, QString>> &arguments);

// What the router answered to one action.
struct SoapAnswer
{
    bool ok = false;
    int errorCode = 0;             // the router's UPnP error code when it refused; 0 when none was given
    QMap<QString, QString> values; // the answer's values by name ("NewExternalIPAddress", ...)
};

// Only a well-formed answer with status 200 and an "<action>Response" element in its body is a
// success; a fault gives the router's error code.
SoapAnswer readSoapAnswer(int status, const QByteArray &body, const QString &action);

// True for a dotted IPv4 address that players elsewhere can reach: written exactly so (no name,
// no blank or line break, no leading zero) and outside "this network" (0/8), the private ranges
// (10/8, 172.16/12, 192.168/16), shared address space (100.64/10), loopback (127/8), link-local
// (169.254/16), multicast (224/4) and the reserved rest (240/4).
bool isPublicIPv4(const QString &address);

} // namespace router
