#include "windows/lobbyplaces.h"

#include "platform/errors.h"

#ifndef QUILLET_INSTALLER_URL
#define QUILLET_INSTALLER_URL ""
#endif
#ifndef QUILLET_INSTALLER_SHA256
#define QUILLET_INSTALLER_SHA256 ""
#endif

namespace lobbyplaces {

namespace {
QString env(const char *name, const QString &fallback)
{
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? fallback : v;
}
} // namespace

QString makerAddress()
{
    return QStringLiteral("www.orvanesoftware.com");
}

QString installerUrl()
{
    return env("QUILLET_INSTALLER_URL", QStringLiteral(QUILLET_INSTALLER_URL)).trimmed();
}

QString installerSha256()
{
    return env("QUILLET_INSTALLER_SHA256", QStringLiteral(QUILLET_INSTALLER_SHA256)).trimmed();
}

QByteArray installerDigest()
{
    const QString hex = installerSha256();
    if (hex.size() != 64)
        return {};
    for (const QChar c : hex) {
        if (!c.isDigit() && !(c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')))
            return {};
    }
    return QByteArray::fromHex(hex.toLatin1());
}

QString lobbyProgram()
{
    return env("QUILLET_LOBBY_PROGRAM", QStringLiteral("/opt/orvane/orvanelobby"));
}

QString installerName(const QString &url)
{
    const QString name = url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
    // An address that ends in "/" (or in a folder step) would name the program's folder itself.
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        throw EError(QStringLiteral("The download address ") + url + QStringLiteral(" names no file"));
    return name;
}

} // namespace lobbyplaces
