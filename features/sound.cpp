#include "features/sound.h"

#include "features/soundout/soundoutput.h"
#include "protocol/text.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>

#include <unistd.h>

namespace sound {

namespace {

// Upper-case clip name -> resource path.
const QHash<QString, QString> &clips()
{
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> t;
        const QDir dir(QStringLiteral(":/sounds"));
        // Filtered here rather than by name filters, which would compile a pattern (and load the
        // pattern engine's pages) for the one look-up.
        const QStringList files = dir.entryList(QDir::Files);
        for (const QString &f : files) {
            if (!f.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive))
                continue;
            const QString base = f.left(f.lastIndexOf(QLatin1Char('.')));
            t.insert(text::asciiUpper(base), dir.filePath(f));
        }
        return t;
    }();
    return table;
}

// Whether this client configuration names a server: "default-server = unix:/x" on a line that is
// not a comment.
bool namesServer(const QByteArray &conf)
{
    for (const QByteArray &line : conf.split('\n')) {
        const QByteArray l = line.trimmed();
        if (l.startsWith(';') || l.startsWith('#'))
            continue;
        const qsizetype eq = l.indexOf('=');
        if (eq > 0 && l.left(eq).trimmed() == "default-server" && !l.mid(eq + 1).trimmed().isEmpty())
            return true;
    }
    return false;
}

SystemLookup realSystem()
{
    return {[](const char *name) { return qEnvironmentVariable(name); },
            [](const QString &path) { return QFileInfo::exists(path); },
            [](const QString &path) {
                QFile f(path);
                return f.open(QIODevice::ReadOnly) ? f.read(64 * 1024) : QByteArray();
            },
            unsigned(getuid())};
}

// Where the sound output module may lie: QUILLET_SOUND_MODULE names it for tests; otherwise
// beside the program (a build folder) or where an install puts it, relative to the program's
// folder.
QStringList moduleFiles()
{
    const QString named = qEnvironmentVariable("QUILLET_SOUND_MODULE");
    if (!named.isEmpty())
        return {named};
    const QString dir = QCoreApplication::applicationDirPath();
    const QString file = QStringLiteral("/quillet-sound.so");
    return {dir + file, QDir::cleanPath(dir + QLatin1String("/" QUILLET_SOUND_MODULE_DIR) + file)};
}

struct Player
{
    QLibrary module;
    SoundOutput *output = nullptr; // once loaded, kept for the run
    bool started = false;          // a clip was started and not stopped since
    QString currentName;
    QString last;
    int requests = 0;

    // The output, loaded on the first call that finds a server; null while none could be heard or
    // no module loads.
    SoundOutput *reachableOutput()
    {
        if (output || !serverReachable(realSystem()))
            return output;
        for (const QString &file : moduleFiles()) {
            module.setFileName(file);
            if (!module.load())
                continue;
            if (const auto entry = reinterpret_cast<SoundOutputEntry>(module.resolve(soundOutputEntryName)))
                output = entry();
            if (output)
                return output;
            module.unload();
        }
        return nullptr;
    }
};

Player &player()
{
    static Player p;
    return p;
}

} // namespace

QString clipPath(const QString &name)
{
    return clips().value(text::asciiUpper(name));
}

QStringList clipNames()
{
    QStringList names = clips().keys();
    names.sort();
    return names;
}

void play(const QString &name)
{
    Player &p = player();
    p.last = name;
    ++p.requests;
    stop();
    const QString path = clipPath(name);
    if (path.isEmpty()) {
        QApplication::beep();
        return;
    }
    SoundOutput *out = p.reachableOutput();
    if (!out || !out->play(path))
        return;
    p.started = true;
    p.currentName = text::asciiUpper(name);
}

void stop()
{
    Player &p = player();
    if (p.started) {
        p.output->stop();
        p.started = false;
    }
}

QString playing()
{
    const Player &p = player();
    return p.started && p.output->playing() ? p.currentName : QString();
}

QString lastRequested()
{
    return player().last;
}

int requestCount()
{
    return player().requests;
}

bool serverReachable(const SystemLookup &sys)
{
    if (!sys.env("PULSE_SERVER").isEmpty())
        return true;
    QStringList sockets;
    if (const QString runtime = sys.env("PULSE_RUNTIME_PATH"); !runtime.isEmpty())
        sockets << runtime + QLatin1String("/native");
    const QString xdg = sys.env("XDG_RUNTIME_DIR");
    sockets << (xdg.isEmpty() ? QStringLiteral("/run/user/%1").arg(sys.uid) : xdg) +
                   QLatin1String("/pulse/native")
            << QStringLiteral("/run/pulse/native") << QStringLiteral("/var/run/pulse/native");
    for (const QString &s : sockets)
        if (sys.exists(s))
            return true;
    // The sound library reads one client configuration: the one named, else the user's, else the
    // system's.
    QString conf = sys.env("PULSE_CLIENTCONFIG");
    if (conf.isEmpty()) {
        const QString config = sys.env("XDG_CONFIG_HOME");
        conf = (config.isEmpty() ? sys.env("HOME") + QLatin1String("/.config") : config) +
               QLatin1String("/pulse/client.conf");
        if (!sys.exists(conf))
            conf = QStringLiteral("/etc/pulse/client.conf");
    }
    return namesServer(sys.read(conf));
}

} // namespace sound
