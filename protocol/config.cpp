#include "protocol/config.h"

#include <QCoreApplication>

namespace config {

namespace {
QString env(const char *name, const QString &fallback)
{
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? fallback : v;
}
} // namespace

QString gamePort()
{
    return env("QUILLET_GAME_PORT", QStringLiteral("7772"));
}

QString lobbyPort()
{
    return env("QUILLET_LOBBY_PORT", QStringLiteral("9001"));
}

QString instanceScope()
{
    return qEnvironmentVariable("QUILLET_INSTANCE");
}

QString dataDir()
{
    return env("QUILLET_HOME", QCoreApplication::applicationDirPath());
}

} // namespace config
