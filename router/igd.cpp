#include "router/igd.h"

#include <QUrl>
#include <QXmlStreamReader>

namespace router {

namespace {

// Reads the whole document; false when it is not well-formed XML.
bool wellFormed(const QByteArray &xml)
{
    QXmlStreamReader r(xml);
    while (!r.atEnd())
        r.readNext();
    return !r.hasError();
}

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

} // namespace

Service findService(const QByteArray &description, const QString &descriptionUrl)
{
    if (!wellFormed(description))
        return {};
    QUrl base(descriptionUrl);
    Service ip, ppp;
    QXmlStreamReader r(description);
    QString type, control;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isEndElement() && r.name() == QLatin1String("service")) {
            Service s{control, type};
            if (type.startsWith(QLatin1String("urn:schemas-upnp-org:service:WANIPConnection:")) && !ip.ok())
                ip = s;
            else if (type.startsWith(QLatin1String("urn:schemas-upnp-org:service:WANPPPConnection:")) &&
                     !ppp.ok())
                ppp = s;
        }
        if (!r.isStartElement())
            continue;
        if (r.name() == QLatin1String("URLBase")) {
            const QUrl given(r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed());
            if (given.isValid() && given.scheme() == QLatin1String("http"))
                base = given;
        } else if (r.name() == QLatin1String("service")) {
            type.clear();
            control.clear();
        } else if (r.name() == QLatin1String("serviceType")) {
            type = r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (r.name() == QLatin1String("controlURL")) {
            control = r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        }
    }
    Service chosen = ip.ok() ? ip : ppp;
    if (!chosen.ok())
        return {};
    const QUrl url = base.resolved(QUrl(chosen.controlUrl));
    // Requests go to the router over plain HTTP, nowhere else.
    if (!url.isValid() || url.scheme() != QLatin1String("http") || url.host().isEmpty())
        return {};
    chosen.controlUrl = url.toString();
    return chosen;
}

QByteArray soapRequest(const QString &serviceType, const QString &action,
                       const QList<QPair<QString, QString>> &arguments)
{
    QString args;
    for (const auto &[name, value] : arguments)
        args += QLatin1Char('<') + name + QLatin1Char('>') + escaped(value) + QStringLiteral("</") + name +
                QLatin1Char('>');
    return (QStringLiteral("<?xml version=\"1.0\"?>\r\n<s:Envelope "
                           "xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                           "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body><u:") +
            action + QStringLiteral(" xmlns:u=\"") + escaped(serviceType) + QStringLiteral("\">") + args +
            QStringLiteral("</u:") + action + QStringLiteral("></s:Body></s:Envelope>\r\n"))
        .toUtf8();
}

SoapAnswer readSoapAnswer(int status, const QByteArray &body, const QString &action)
{
    SoapAnswer a;
    if (!wellFormed(body))
        return a;
    const QString wanted = action + QStringLiteral("Response");
    QXmlStreamReader r(body);
    bool inBody = false, found = false;
    int depth = 0, answerDepth = -1;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isEndElement()) {
            if (depth == answerDepth)
                answerDepth = -1;
            --depth;
            continue;
        }
        if (!r.isStartElement())
            continue;
        ++depth;
        if (r.name() == QLatin1String("Body")) {
            inBody = true;
        } else if (inBody && r.name() == wanted) {
            found = true;
            answerDepth = depth;
        } else if (r.name() == QLatin1String("errorCode")) {
            a.errorCode = r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed().toInt();
            --depth;
        } else if (answerDepth >= 0 && depth == answerDepth + 1) {
            a.values.insert(r.name().toString(),
                            r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed());
            --depth;
        }
    }
    a.ok = status == 200 && found && a.errorCode == 0;
    if (!a.ok)
        a.values.clear();
    return a;
}

bool isPublicIPv4(const QString &address)
{
    const QStringList parts = address.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    quint32 v = 0;
    for (const QString &p : parts) {
        if (p.isEmpty() || p.size() > 3 || (p.size() > 1 && p.startsWith(QLatin1Char('0'))))
            return false;
        for (QChar c : p)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        const uint n = p.toUInt();
        if (n > 255)
            return false;
        v = v << 8 | n;
    }
    const auto in = [v](quint32 net, int bits) { return (v >> (32 - bits)) == (net >> (32 - bits)); };
    return !(in(0x00000000, 8) || in(0x0A000000, 8) || in(0x64400000, 10) || in(0x7F000000, 8) ||
             in(0xA9FE0000, 16) || in(0xAC100000, 12) || in(0xC0A80000, 16) || in(0xE0000000, 4) ||
             in(0xF0000000, 4));
}

} // namespace router
