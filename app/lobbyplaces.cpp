#include "app/lobbyplaces.h"

#include "protocol/errors.h"

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
    return env("QUILLET_INSTALLER_URL",
               QStringLiteral("https://www.orvanesoftware.com/downloads/orvanelobby-setup.run"));
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
