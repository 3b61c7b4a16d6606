#include "platform/config.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace config {

namespace {
QString env(const char *name, const QString &fallback)
{
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? fallback : v;
}
// True when the program keeps its files beside itself.
bool portable()
{
    const QString dir = QCoreApplication::applicationDirPath();
    // An installed copy keeps its files in the player's folders even when it could write its own
    // (as root, say): nothing belongs in a system's bin folder.
    if (QFileInfo(dir).fileName() == QLatin1String("bin") &&
        QFileInfo::exists(dir + QLatin1String("/../share/applications/quillet.desktop")))
        return false;
    // Probe by writing: the permission bits alone say nothing about a read-only mount.
    QFile probe(dir + QLatin1String("/.quillet-write-probe"));
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}

// $VAR/quillet, or ~/FALLBACK/quillet when VAR is unset or not an absolute path.
QString xdgFolder(const char *var, const char *fallback)
{
    QString base = qEnvironmentVariable(var);
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QLatin1Char('/') + QLatin1String(fallback);
    return base + QLatin1String("/quillet");
}

bool isPortable()
{
    static const bool answer = portable();
    return answer;
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

QString announcePort()
{
    return env("QUILLET_ANNOUNCE_PORT", QStringLiteral("7773"));
}

QString announceAddress()
{
    return env("QUILLET_ANNOUNCE_ADDRESS", QStringLiteral("255.255.255.255"));
}

QByteArray announcePrefix()
{
    return env("QUILLET_ANNOUNCE_PREFIX", QStringLiteral("QUILLET-GAME/1")).toUtf8();
}

QString instanceScope()
{
    return qEnvironmentVariable("QUILLET_INSTANCE");
}

QString dataDir()
{
    const QString home = qEnvironmentVariable("QUILLET_HOME");
    if (!home.isEmpty())
        return home;
    if (isPortable())
        return QCoreApplication::applicationDirPath();
    const QString dir = xdgFolder("XDG_CONFIG_HOME", ".config");
    QDir().mkpath(dir);
    return dir;
}

QString snapshotsDir()
{
    const QString home = qEnvironmentVariable("QUILLET_HOME");
    if (!home.isEmpty())
        return home + QLatin1String("/snapshots");
    if (isPortable())
        return QCoreApplication::applicationDirPath() + QLatin1String("/snapshots");
    return xdgFolder("XDG_DATA_HOME", ".local/share") + QLatin1String("/snapshots");
}

} // namespace config
