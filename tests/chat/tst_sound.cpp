// The compiled-in clips: each is a PCM WAVE file that Qt's player loads, and playing never blocks
// or fails loudly, with or without a sound device; the output module loads only for a server.
#include "features/sound.h"
#include "tests/support/textsupport.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

struct WaveInfo
{
    bool ok = false;
    int format = 0, channels = 0, rate = 0, bits = 0;
    double seconds = 0;
};

WaveInfo readWave(const QByteArray &b)
{
    WaveInfo w;
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE")
        return w;
    qsizetype at = 12;
    quint32 data = 0;
    while (at + 8 <= b.size()) {
        const QByteArray id = b.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(b.constData() + at + 4);
        const char *body = b.constData() + at + 8;
        if (id == "fmt " && size >= 16) {
            w.format = qFromLittleEndian<quint16>(body);
            w.channels = qFromLittleEndian<quint16>(body + 2);
            w.rate = int(qFromLittleEndian<quint32>(body + 4));
            w.bits = qFromLittleEndian<quint16>(body + 14);
        } else if (id == "data") {
            data = size;
        }
        at += 8 + size + (size & 1);
    }
    if (w.format && w.rate && w.channels && w.bits && data) {
        w.ok = true;
        w.seconds = double(data) / (w.rate * w.channels * (w.bits / 8));
    }
    return w;
}

const QStringList names = [] {
    QStringList n = L({"ENTERED", "TURN", "PASS", "NOANSWER", "CORRECT", "GAMEOVER"});
    for (int i = 0; i <= 6; ++i)
        n << QStringLiteral("CAT%1").arg(i);
    for (int i = 1; i <= 20; ++i)
        n << QStringLiteral("WAVE%1").arg(i);
    return n;
}();

// A system with these variables, these files (path -> text) and user id 1000.
sound::SystemLookup systemWith(const QHash<QString, QString> &env, const QHash<QString, QByteArray> &files)
{
    return {[env](const char *name) { return env.value(QString::fromLatin1(name)); },
            [files](const QString &path) { return files.contains(path); },
            [files](const QString &path) { return files.value(path); }, 1000};
}

bool outputMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/quillet-sound.so");
}

} // namespace

class TestSound : public QObject
{
    Q_OBJECT

private slots:
    void everyCueAndChatterClipIsThere()
    {
        for (const QString &n : names) {
            const QString path = sound::clipPath(n);
            QVERIFY2(!path.isEmpty(), qPrintable(n));
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const WaveInfo w = readWave(f.readAll());
            QVERIFY2(w.ok, qPrintable(n));
            QCOMPARE(w.format, 1); // PCM
            QVERIFY2(w.seconds >= 0.2 && w.seconds <= 5.5, qPrintable(n + QString::number(w.seconds)));
        }
    }

    void namesCompareWithoutCase()
    {
        QCOMPARE(sound::clipPath(QStringLiteral("wave7")), QStringLiteral(":/sounds/WAVE7.wav"));
        QCOMPARE(sound::clipPath(QStringLiteral("Cat3")), sound::clipPath(QStringLiteral("CAT3")));
        QVERIFY(sound::clipPath(QStringLiteral("cat7")).isEmpty());
        QVERIFY(sound::clipPath(QString()).isEmpty());
    }

    void everyClipLoads()
    {
        for (const QString &n : names) {
            QSoundEffect e;
            e.setSource(QUrl(QLatin1String("qrc") + sound::clipPath(n)));
            QTRY_VERIFY2(e.status() == QSoundEffect::Ready || e.status() == QSoundEffect::Error,
                         qPrintable(n));
            QVERIFY2(e.status() == QSoundEffect::Ready, qPrintable(n));
        }
    }

    void playingNeverBlocks()
    {
        // With a device this plays (each new clip cutting off the last); without one it is silent.
        QElapsedTimer t;
        t.start();
        for (const QString &n : names) {
            sound::play(n.toLower());
            QCOMPARE(sound::lastRequested(), n.toLower());
        }
        sound::play(QStringLiteral("nosuchclip"));
        sound::stop();
        QVERIFY(t.elapsed() < 3000);
    }

    void aNewClipCutsOffThePlayingOne()
    {
        if (QMediaDevices::audioOutputs().isEmpty())
            QSKIP("no sound device");
        sound::play(QStringLiteral("wave13"));
        QTest::qWait(300);
        sound::play(QStringLiteral("wave14"));
        QTest::qWait(300);
        QVERIFY(sound::playing() == QStringLiteral("WAVE14") || sound::playing().isEmpty());
    }

    void aServerIsLookedForWithoutConnecting()
    {
        const QHash<QString, QString> home{{s("HOME"), s("/home/p")}};
        const QByteArray sock;
        QVERIFY(!sound::serverReachable(systemWith(home, {})));
        QVERIFY(sound::serverReachable(systemWith({{s("PULSE_SERVER"), s("tcp:10.0.0.2")}}, {})));
        QVERIFY(sound::serverReachable(systemWith({}, {{s("/run/user/1000/pulse/native"), sock}})));
        QVERIFY(sound::serverReachable(systemWith({}, {{s("/var/run/pulse/native"), sock}})));
        QVERIFY(sound::serverReachable(
            systemWith({{s("PULSE_RUNTIME_PATH"), s("/tmp/p")}}, {{s("/tmp/p/native"), sock}})));
        // A runtime folder of its own replaces the one named after the user.
        const QHash<QString, QString> xdg{{s("XDG_RUNTIME_DIR"), s("/tmp/x")}};
        QVERIFY(sound::serverReachable(systemWith(xdg, {{s("/tmp/x/pulse/native"), sock}})));
        QVERIFY(!sound::serverReachable(systemWith(xdg, {{s("/run/user/1000/pulse/native"), sock}})));

        // A configured server counts; a commented or empty one does not, and the user's file
        // hides the system's.
        const QString user = s("/home/p/.config/pulse/client.conf"), system = s("/etc/pulse/client.conf");
        QVERIFY(sound::serverReachable(systemWith(home, {{system, "; x\n default-server = unix:/s\n"}})));
        QVERIFY(!sound::serverReachable(
            systemWith(home, {{system, "; default-server = a\ndefault-server =\n"}})));
        QVERIFY(!sound::serverReachable(
            systemWith(home, {{user, "autospawn = no\n"}, {system, "default-server = a\n"}})));
        QVERIFY(sound::serverReachable(
            systemWith({{s("PULSE_CLIENTCONFIG"), s("/c")}}, {{s("/c"), "default-server=a"}})));
    }

    void theOutputModuleLoadsOnceAServerCouldAnswer()
    {
        // A file where the server's socket would be: the output loads, is refused, and stays silent.
        QTemporaryDir runtime;
        QVERIFY(QDir(runtime.path()).mkpath(s("pulse")));
        for (const char *f : {"pulse/native", "client.conf", "broken.so"}) {
            QFile file(runtime.filePath(QString::fromLatin1(f)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("autospawn = no\n");
        }
        qunsetenv("PULSE_SERVER");
        qunsetenv("PULSE_RUNTIME_PATH");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        qputenv("PULSE_CLIENTCONFIG", runtime.filePath(s("client.conf")).toUtf8());
        const QByteArray module = qgetenv("QUILLET_SOUND_MODULE");
        QVERIFY(!module.isEmpty());
        const bool loadedBefore = outputMapped(); // on a machine with a sound server
        qputenv("QUILLET_SOUND_MODULE", runtime.filePath(s("broken.so")).toUtf8());
        sound::play(s("wave1"));
        QCOMPARE(outputMapped(), loadedBefore);
        QVERIFY(sound::playing().isEmpty() || loadedBefore);
        qputenv("QUILLET_SOUND_MODULE", module);
        QElapsedTimer t;
        t.start();
        sound::play(s("wave2"));
        QVERIFY(outputMapped());
        QVERIFY(t.elapsed() < 3000);
        sound::stop();
        QVERIFY(sound::playing().isEmpty());
    }
};

QTEST_MAIN(TestSound)
#include "tst_sound.moc"
