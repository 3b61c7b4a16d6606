#include "windows/turl.h"

#include <QDesktopServices>
#include <QUrl>

QString TURL::prefix(TURLType type)
{
    switch (type) {
    case utFile:
        return QStringLiteral("file://");
    case utFtp:
        return QStringLiteral("ftp://");
    case utGopher:
        return QStringLiteral("gopher://");
    case utHttp:
        return QStringLiteral("http://");
    case utHttps:
        return QStringLiteral("https://");
    case utMailto:
        return QStringLiteral("mailto:");
    case utNews:
        return QStringLiteral("news:");
    case utTelnet:
        return QStringLiteral("telnet:");
    case utWais:
        return QStringLiteral("wais:");
    case utnone:
        break;
    }
    return {};
}

QString TURL::target(TURLType type, const QString &url)
{
    if (url.isEmpty())
        return {};
    const QString whole = prefix(type) + url;
    if (whole.size() > maxLength)
        return {};
    return whole;
}

bool TURL::open() const
{
    const QString text = target(URLType, URL);
    if (text.isEmpty())
        return false;
    const QUrl address(text, QUrl::StrictMode);
    if (!address.isValid())
        return false;
    return QDesktopServices::openUrl(address);
}
