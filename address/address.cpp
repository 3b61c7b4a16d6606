#include "address/address.h"

#include <algorithm>

namespace address {

Target split(const QString &text, const QString &defaultPort)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return {text, defaultPort, {}};
    Target t{text.left(colon), text.mid(colon + 1), {}};
    bool ok = false;
    const uint port = t.port.toUInt(&ok);
    const bool digits = !t.port.isEmpty() && t.port.size() <= 5 &&
                        std::all_of(t.port.begin(), t.port.end(),
                                    [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
    if (!digits || !ok || port < 1 || port > 65535)
        t.error = QStringLiteral("\"") + t.port.left(20) +
                  QStringLiteral("\" is not a port: use a number from 1 to 65535.");
    return t;
}

Target check(const QString &text, const QString &defaultPort)
{
    Target t = split(text.trimmed(), defaultPort);
    if (!t.error.isEmpty())
        return t;
    if (t.host.isEmpty()) {
        t.error = QStringLiteral("Type the host's name or address.");
        return t;
    }
    const bool fits = t.host.size() <= 253 && std::all_of(t.host.begin(), t.host.end(), [](QChar c) {
                          return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                                 (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                                 (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') ||
                                 c == QLatin1Char('-') || c == QLatin1Char('_');
                      });
    if (!fits)
        t.error =
            QStringLiteral("\"") + t.host.left(40) + QStringLiteral("\" is not a host name or address.");
    return t;
}

} // namespace address
