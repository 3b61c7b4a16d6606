#include "features/sound.h"

#include "protocol/text.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDir>
#include <QHash>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

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

// One loaded effect per clip, kept for the run; `current` is the one that may still be playing.
struct Player
{
    QHash<QString, QSoundEffect *> effects;
    QSoundEffect *current = nullptr;
    QString currentName;
    QString last;
    int requests = 0;

    QSoundEffect *effect(const QString &path)
    {
        QSoundEffect *&e = effects[path];
        if (!e) {
            e = new QSoundEffect(qApp);
            e->setSource(QUrl(QLatin1String("qrc") + path));
        }
        return e;
    }
};

Player &player()
{
    static Player p;
    return p;
}

bool haveDevice()
{
    return !QMediaDevices::defaultAudioOutput().isNull();
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
    if (!haveDevice())
        return;
    QSoundEffect *e = p.effect(path);
    p.current = e;
    p.currentName = text::asciiUpper(name);
    e->play();
}

void stop()
{
    Player &p = player();
    if (p.current) {
        p.current->stop();
        p.current = nullptr;
    }
}

QString playing()
{
    const Player &p = player();
    return p.current && p.current->isPlaying() ? p.currentName : QString();
}

QString lastRequested()
{
    return player().last;
}

int requestCount()
{
    return player().requests;
}

} // namespace sound
