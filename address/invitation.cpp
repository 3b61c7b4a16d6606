#include "address/invitation.h"

#include <QHostAddress>
#include <algorithm>

namespace invitation {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool allDigits(QStringView s)
{
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), isDigit);
}

bool hostChar(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || isDigit(c) || c == QLatin1Char('.') ||
           c == QLatin1Char('-') || c == QLatin1Char('_');
}

// The text as the player may see it again in a message: short, without control characters.
QString shown(const QString &text)
{
    QString s = text.left(60);
    for (QChar &c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char('?');
    if (text.size() > 60)
        s += QStringLiteral("...");
    return QLatin1Char('"') + s + QLatin1Char('"');
}

Link failure(const QString &text)
{
    return {{}, 0, text};
}

// A dotted IPv4 address exactly as people write it: four numbers 0 to 255, no leading zeros.
// The looser forms ("127.1", "010.0.0.1", "0x7f.0.0.1") are read differently by different
// programs, so they are refused rather than guessed.
bool strictIPv4(QStringView host)
{
    const auto parts = host.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    return std::all_of(parts.begin(), parts.end(), [](QStringView p) {
        return allDigits(p) && p.size() <= 3 && (p.size() == 1 || p[0] != QLatin1Char('0')) &&
               p.toInt() <= 255;
    });
}

// A name's last label is never a number: a host whose last label is one is an address.
bool looksNumeric(QStringView host)
{
    const QStringView last = host.mid(host.lastIndexOf(QLatin1Char('.')) + 1);
    return allDigits(last) || last.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
}

QString hostError(const QString &host)
{
    if (host.isEmpty())
        return QStringLiteral("The link names no host: it should look like quillet://ADDRESS:PORT.");
    if (host.size() > 253 || !std::all_of(host.begin(), host.end(), hostChar))
        return shown(host) + QStringLiteral(" in the link is not a host name or address.");
    if (host.startsWith(QLatin1Char('.')) || host.startsWith(QLatin1Char('-')) ||
        host.contains(QLatin1String("..")))
        return shown(host) + QStringLiteral(" in the link is not a host name or address.");
    if (looksNumeric(host) && !strictIPv4(host))
        return shown(host) +
               QStringLiteral(" in the link is not an address: write four numbers from 0 to 255.");
    return {};
}

} // namespace

namespace {
QString hostAndPort(const QString &address, quint16 port)
{
    const QString host =
        address.contains(QLatin1Char(':')) ? QLatin1Char('[') + address + QLatin1Char(']') : address;
    return host + QLatin1Char(':') + QString::number(port);
}
} // namespace

QString build(const QString &address, quint16 port)
{
    return scheme + QStringLiteral("://") + hostAndPort(address, port);
}

QString webAddress(const QString &address, quint16 port)
{
    return QStringLiteral("http://") + hostAndPort(address, port) + QLatin1Char('/');
}

bool isLink(const QString &text)
{
    return text.trimmed().startsWith(scheme + QLatin1Char(':'), Qt::CaseInsensitive);
}

Link parse(const QString &input, quint16 defaultPort)
{
    if (input.size() > maxLength)
        return failure(
            QStringLiteral("The link is too long to be a game link (%1 characters).").arg(input.size()));
    const QString text = input.trimmed();
    const QString prefix = scheme + QStringLiteral("://");
    if (!text.startsWith(prefix, Qt::CaseInsensitive))
        return failure(shown(text) +
                       QStringLiteral(" is not a game link: a game link begins with quillet://"));
    QString rest = text.mid(prefix.size());
    if (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);
    if (rest.contains(QLatin1Char('/')) || rest.contains(QLatin1Char('?')) || rest.contains(QLatin1Char('#')))
        return failure(QStringLiteral("The link has more than an address and a port: ") + shown(rest) +
                       QStringLiteral("."));
    if (rest.contains(QLatin1Char('@')))
        return failure(QStringLiteral("A game link has no user name: ") + shown(rest) + QStringLiteral("."));

    Link link;
    QString portText;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close < 0)
            return failure(shown(rest) + QStringLiteral(" in the link lacks its closing \"]\"."));
        link.host = rest.mid(1, close - 1);
        QHostAddress a;
        if (!a.setAddress(link.host) || a.protocol() != QAbstractSocket::IPv6Protocol ||
            link.host.contains(QLatin1Char('%')))
            return failure(shown(link.host) + QStringLiteral(" in the link is not an IPv6 address."));
        const QString after = rest.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(QLatin1Char(':')))
            return failure(QStringLiteral("The link has more than an address and a port: ") + shown(rest) +
                           QStringLiteral("."));
        portText = after.mid(1);
        if (after.isEmpty())
            portText.clear();
        else if (portText.isEmpty())
            return failure(QStringLiteral("The link's port is missing after \":\"."));
    } else {
        const qsizetype colon = rest.indexOf(QLatin1Char(':'));
        if (colon != rest.lastIndexOf(QLatin1Char(':')))
            return failure(
                QStringLiteral("An IPv6 address in a link goes in brackets: quillet://[ADDRESS]:PORT."));
        link.host = colon < 0 ? rest : rest.left(colon);
        if (colon >= 0) {
            portText = rest.mid(colon + 1);
            if (portText.isEmpty())
                return failure(QStringLiteral("The link's port is missing after \":\"."));
        }
        const QString error = hostError(link.host);
        if (!error.isEmpty())
            return failure(error);
    }
    if (portText.isEmpty()) {
        link.port = defaultPort;
        return link;
    }
    const uint port = portText.toUInt();
    if (!allDigits(portText) || portText.size() > 5 || port < 1 || port > 65535)
        return failure(shown(portText) +
                       QStringLiteral(" in the link is not a port: the port is a number from 1 to 65535."));
    link.port = quint16(port);
    return link;
}

} // namespace invitation
