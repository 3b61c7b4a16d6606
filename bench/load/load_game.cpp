// A long game under load. The hosting program (its own player window included, offscreen) runs in
// a child process; this process plays 14 scripted players against it over loopback:
//   - 10 well-behaved players chat every 2-3 s and guess every 2-3 s; whoever is the drawer picks
//     a category and streams strokes at mouse rate (a point every 16 ms, sent 10 at a time);
//   - 2 of them leave and come back every 20-40 s, whatever the turn is doing;
//   - one floods the host with the longest chat lines it may send, from a third of the run on;
//   - one stops reading after its login and must be dropped at the host's output limit.
// With --dedicated the host is quillet-host instead, and the scripted player in slot 1 starts the
// game; at every turn's start each player's score panel, kept from the host's messages as a copy
// keeps it, is compared with the scores the host logs for that turn.
// Usage: load_game [SECONDS=600] [--dedicated]. It prints the host's CPU share and memory, chat latency
// between the well-behaved players before and during the flood, chat lines lost or out of order, and when the
// silent reader was dropped.
#include "app/program.h"
#include "bench/support/memory.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "protocol/commands.h"
#include "tests/support/tchatui.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

// ---- The host side: the program as started with "Host 127.0.0.1 true"; its player starts a
// game whenever none runs, as a click on Start with a long target score would.
int runHost()
{
    int argc = 1;
    char name[] = "quillet";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setQuitOnLastWindowClosed(false);
    Program program({QStringLiteral("Host"), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
    program.chat->show();
    QTimer starter;
    QObject::connect(&starter, &QTimer::timeout, [&] {
        TServer &host = *program.server;
        int seated = 0;
        for (int i = 1; i <= HostGame::seats; ++i)
            seated += host.game().inuse(i) ? 1 : 0;
        if (program.chat->game()->loggedin() && !host.game().running() && seated >= 4)
            program.chat->game()->send(cmd::buildStartgame(1, false, 1000000, 30));
    });
    starter.start(1000);
    return QApplication::exec();
}

// ---- The scripted players.

qint64 nowUs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.nsecsElapsed() / 1000;
}

enum class Kind { WellBehaved, Leaver, Flooder, Silent };

struct Stats
{
    std::vector<double> quietMs, floodMs; // chat latency between well-behaved players
    qint64 lost = 0, reordered = 0;
    qint64 floodStartUs = 0;
    qint64 silentDroppedUs = -1;
    QString silentName;
    // On the dedicated host: the phrase of the turn when the drawer lets it be found (every other
    // turn), so that points are won and time-outs cost points somebody holds.
    QString solvable;
    int turns = 0, strokes = 0; // as the first player saw them
    int wellBehavedDropped = 0;
    // The dedicated host's scores of seats 1-10 as its log last gave them; panels checked against
    // them at turn starts, and how many differed.
    QProcess *dedicated = nullptr;
    std::array<int, 10> hostScores{};
    bool haveScores = false;
    bool running = false;
    qint64 panelChecks = 0, panelMismatches = 0;
    QStringList mismatchExamples;

    void readHostLog()
    {
        while (dedicated->canReadLine()) {
            const QString line = QString::fromUtf8(dedicated->readLine()).trimmed();
            if (!line.startsWith(QLatin1String("Scores:")))
                continue;
            const QStringList f = line.mid(7).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (int i = 0; i < 10 && i < f.size(); ++i)
                hostScores[size_t(i)] = f[i].toInt();
            haveScores = true;
        }
    }
};

class Player : public QObject
{
public:
    Player(int id, Kind kind, quint16 port, Stats &stats) : id(id), kind(kind), port(port), stats(stats)
    {
        name = QStringLiteral("bot%1").arg(id);
        connect(&chatTimer, &QTimer::timeout, this, [this] { chatAndGuess(); });
        connect(&drawTimer, &QTimer::timeout, this, [this] { drawPoint(); });
        connect(&floodTimer, &QTimer::timeout, this, [this] { flood(); });
        connect(&leaveTimer, &QTimer::timeout, this, [this] { rejoin(); });
        open();
    }

    void open()
    {
        sock = std::make_unique<QTcpSocket>();
        slot = 0;
        buffer.clear();
        QTcpSocket *s = sock.get();
        connect(s, &QTcpSocket::readyRead, this, [this, s] {
            if (s == sock.get())
                read();
        });
        connect(s, &QTcpSocket::disconnected, this, [this, s] {
            if (s == sock.get() && kind == Kind::WellBehaved)
                ++stats.wellBehavedDropped;
        });
        connect(s, &QTcpSocket::bytesWritten, this, [this] {
            if (kind == Kind::Flooder && flooding)
                flood();
        });
        if (kind == Kind::Silent) {
            sock->setReadBufferSize(4096);
            const int small = 4096;
            // Set before connecting so the window the host sees stays small.
            sock->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, small);
        }
        sock->connectToHost(QStringLiteral("127.0.0.1"), port);
        if (kind == Kind::Leaver)
            leaveTimer.start(20000 + int(QRandomGenerator::global()->bounded(20000)));
    }

    void send(const QString &text)
    {
        if (sock->state() != QAbstractSocket::ConnectedState)
            return;
        QByteArray bytes = text.toLatin1();
        bytes.append(char(0xFF));
        sock->write(bytes);
    }

    void startFlood()
    {
        flooding = true;
        floodTimer.start(5);
    }
    void stopChatting()
    {
        chatTimer.stop();
        drawTimer.stop();
        flooding = false;
        floodTimer.stop();
        leaveTimer.stop();
    }

    const int id;
    const Kind kind;
    int slot = 0;
    // The score panel of seats 1-10; fresh from the login until the host has sent the scores.
    std::array<int, 10> panel{};
    bool fresh = true;
    int seq = 0; // chat lines sent
    QString name;
    // Per well-behaved sender: the last of its lines seen here.
    std::map<int, int> lastSeen;

private:
    void read()
    {
        if (kind == Kind::Silent && slot != 0)
            return; // logged in: from now on nothing is read
        buffer += sock->readAll();
        const int on = 1;
        ::setsockopt(int(sock->socketDescriptor()), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
        qsizetype from = 0, at;
        while ((at = buffer.indexOf(char(0xFF), from)) >= 0) {
            handle(QString::fromLatin1(buffer.constData() + from, at - from));
            from = at + 1;
        }
        buffer.remove(0, from);
    }

    void handle(const QString &m)
    {
        const QStringList f = m.split(QLatin1Char('+'));
        const QString &word = f.at(0);
        if (word == cmd::sendlogininfo && f.size() > 1) {
            slot = f[1].toInt();
            fresh = true;
            send(cmd::buildLogininfo(slot, cmd::versionText, name));
            if (kind == Kind::WellBehaved || kind == Kind::Leaver)
                chatTimer.start(2000 + int(QRandomGenerator::global()->bounded(1000)));
        } else if (word == cmd::chat && f.size() > 2) {
            if (m == cmd::buildPaused())
                stats.running = stats.running && id != 0;
            received(f.mid(2).join(QLatin1Char('+')));
        } else if (word == cmd::givedraweranswer && f.size() > 1 && stats.dedicated) {
            stats.solvable =
                QRandomGenerator::global()->bounded(2) == 0 ? f.mid(1).join(QLatin1Char('+')) : QString();
        } else if (word == cmd::startgame) {
            panel.fill(0);
            fresh = false;
            stats.running = stats.running || id == 0;
        } else if (word == cmd::correctanswer && f.size() > 4) {
            setScore(f[1], f[2]);
            setScore(f[3], f[4]);
        } else if (word == cmd::passed && f.size() > 2) {
            setScore(f[1], f[2]);
        } else if (word == cmd::gamestats && f.size() > 3) {
            for (int i = 3; i < f.size() && i < 13; ++i)
                panel[size_t(i - 3)] = f[i].toInt();
            fresh = false;
        } else if (word == cmd::teamscore) {
            for (int i = 1; i < f.size() && i < 11; ++i)
                panel[size_t(i - 1)] = f[i].toInt();
        } else if (word == cmd::winner) {
            stats.running = stats.running && id != 0;
        } else if (word == cmd::pickcatagory && f.size() == 2) {
            checkPanel();
            if (f[1].toInt() == slot)
                send(cmd::buildPickcatagory(slot, int(QRandomGenerator::global()->bounded(7))));
        } else if (word == cmd::draw || word == cmd::moveit) {
            stats.strokes += id == 0 ? 1 : 0;
        } else if (word == cmd::nextplayer && f.size() > 1) {
            if (id == 0)
                stats.solvable.clear();
            stats.turns += id == 0 ? 1 : 0;
            if (f[1].toInt() == slot && kind != Kind::Flooder)
                drawTimer.start(16);
            else
                drawTimer.stop();
        } else if (word == cmd::playerdisconnected && f.size() > 2 && f[2] == stats.silentName &&
                   stats.silentDroppedUs < 0) {
            stats.silentDroppedUs = nowUs();
        }
    }

    void setScore(const QString &seat, const QString &score)
    {
        const int n = seat.toInt();
        if (n >= 1 && n <= 10)
            panel[size_t(n - 1)] = score.toInt();
    }

    // A turn begins: the previous one is over and every panel shows the host's scores. A copy
    // that has just joined learns the scores after the turn, so its first turn is not checked.
    void checkPanel()
    {
        if (!stats.dedicated || kind == Kind::Silent || fresh)
            return;
        // The host logs a turn's scores before it sends the turn: they are in its pipe by now.
        stats.dedicated->waitForReadyRead(0);
        stats.readHostLog();
        if (!stats.haveScores)
            return;
        ++stats.panelChecks;
        if (panel == stats.hostScores)
            return;
        ++stats.panelMismatches;
        if (stats.mismatchExamples.size() < 5) {
            QStringList a, b;
            for (int i = 0; i < 10; ++i) {
                a << QString::number(panel[size_t(i)]);
                b << QString::number(stats.hostScores[size_t(i)]);
            }
            stats.mismatchExamples << name + QStringLiteral(": panel ") + a.join(QLatin1Char(' ')) +
                                          QStringLiteral(", host ") + b.join(QLatin1Char(' '));
        }
    }

    // "botN chats: N:SEQ:MICROSECONDS|clBlack" from a well-behaved player.
    void received(const QString &line)
    {
        if (kind != Kind::WellBehaved)
            return;
        const qsizetype at = line.indexOf(QLatin1String(" chats: "));
        if (at < 0)
            return;
        const QStringList p = line.mid(at + 8).section(QLatin1Char('|'), 0, 0).split(QLatin1Char(':'));
        if (p.size() != 4 || p[0] != QLatin1String("w"))
            return;
        const int from = p[1].toInt(), s = p[2].toInt();
        const qint64 sent = p[3].toLongLong();
        (sent < stats.floodStartUs || stats.floodStartUs == 0 ? stats.quietMs : stats.floodMs)
            .push_back(double(nowUs() - sent) / 1000.0);
        const auto it = lastSeen.find(from);
        if (it != lastSeen.end()) {
            if (s <= it->second)
                ++stats.reordered;
            else
                stats.lost += s - it->second - 1;
        }
        lastSeen[from] = std::max(s, it == lastSeen.end() ? 0 : it->second);
    }

    void chatAndGuess()
    {
        chatTimer.setInterval(2000 + int(QRandomGenerator::global()->bounded(1000)));
        const QString tag = kind == Kind::WellBehaved ? QStringLiteral("w") : QStringLiteral("l");
        ++seq;
        send(cmd::buildChat(slot, QStringLiteral("%1:%2:%3:%4").arg(tag).arg(id).arg(seq).arg(nowUs()),
                            QStringLiteral("clBlack")));
        static const char *guesses[] = {"apple", "the", "dog", "pizza", "star wars", "house", "run"};
        if (!stats.solvable.isEmpty() && QRandomGenerator::global()->bounded(8) == 0)
            send(cmd::buildAnswer(slot, stats.solvable));
        else
            send(cmd::buildAnswer(slot, QLatin1String(guesses[QRandomGenerator::global()->bounded(7)])));
    }

    void drawPoint()
    {
        const QPoint p(int(QRandomGenerator::global()->bounded(780)),
                       int(QRandomGenerator::global()->bounded(540)));
        if (points.isEmpty())
            send(cmd::buildMoveit(slot, QStringLiteral("clBlack"), QStringLiteral("3"), p.x(), p.y()));
        points.append(p);
        if (points.size() == 10) {
            send(cmd::buildDraw(slot, QStringLiteral("clBlack"), QStringLiteral("3"), points));
            points.clear();
        }
    }

    void flood()
    {
        static const QString line = QString(4000, QLatin1Char('x'));
        while (flooding && sock->state() == QAbstractSocket::ConnectedState &&
               sock->bytesToWrite() < 256 * 1024)
            send(cmd::buildChat(slot, line, QStringLiteral("clBlack")));
    }

    void rejoin()
    {
        leaveTimer.stop();
        chatTimer.stop();
        drawTimer.stop();
        points.clear();
        sock->abort();
        sock.release()->deleteLater();
        QTimer::singleShot(500, this, [this] { open(); });
    }

    quint16 port;
    Stats &stats;
    std::unique_ptr<QTcpSocket> sock;
    QByteArray buffer;
    QList<QPoint> points;
    bool flooding = false;
    QTimer chatTimer, drawTimer, floodTimer, leaveTimer;
};

struct ProcSample
{
    double cpuSeconds = 0;
    double rssMb = 0;
};

ProcSample sample(qint64 pid)
{
    ProcSample s;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray all = stat.readAll();
        const QList<QByteArray> f = all.mid(all.lastIndexOf(')') + 2).split(' ');
        if (f.size() > 13)
            s.cpuSeconds = double(f[11].toLongLong() + f[12].toLongLong()) / double(sysconf(_SC_CLK_TCK));
    }
    s.rssMb = residentMb(pid);
    return s;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

int runDriver(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 600;
    const bool dedicated = argc > 2 && qstrcmp(argv[2], "--dedicated") == 0;
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();

    QTemporaryDir home;
    QProcess host;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QUILLET_GAME_PORT"), QString::number(port));
    env.insert(QStringLiteral("QUILLET_LOBBY_PORT"), QString::number(port + 1));
    env.insert(QStringLiteral("QUILLET_HOME"), home.path());
    env.insert(QStringLiteral("QUILLET_INSTANCE"), QStringLiteral("load%1").arg(getpid()));
    env.insert(QStringLiteral("QUILLET_ERRORBOX_LOG"), home.filePath(QStringLiteral("boxes.log")));
    host.setProcessEnvironment(env);
    host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    Stats stats;
    if (dedicated) {
        env.insert(QStringLiteral("QUILLET_ANNOUNCE_ADDRESS"), QStringLiteral("127.0.0.1"));
        host.setProcessEnvironment(env);
        // QUILLET_HOST_BINARY may name another build of the host.
        host.start(qEnvironmentVariable("QUILLET_HOST_BINARY", QStringLiteral(QUILLET_HOST_BINARY)),
                   {QStringLiteral("--no-announce")});
        stats.dedicated = &host;
        QObject::connect(&host, &QProcess::readyReadStandardOutput, [&stats] { stats.readHostLog(); });
    } else {
        host.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--host")});
    }
    if (!host.waitForStarted())
        return 1;
    QThread::msleep(1500);

    std::vector<std::unique_ptr<Player>> players;
    for (int i = 0; i < 14; ++i) {
        const Kind kind = i < 10    ? Kind::WellBehaved
                          : i < 12  ? Kind::Leaver
                          : i == 12 ? Kind::Silent
                                    : Kind::Flooder;
        players.push_back(std::make_unique<Player>(i, kind, port, stats));
        // One after the other: the host's listener keeps only a short queue of connections
        // not yet accepted, and a burst beyond it waits for the system's retries.
        QDeadlineTimer pause(200);
        while (!pause.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    stats.silentName = players[12]->name;
    // On the dedicated host the first scripted player starts the game, once enough have joined.
    QTimer starter;
    QObject::connect(&starter, &QTimer::timeout, [&] {
        Player &first = *players[0];
        if (!stats.running && first.slot >= 1)
            first.send(cmd::buildStartgame(first.slot, false, 1000000, 30));
    });
    if (dedicated)
        starter.start(2000);

    const qint64 pid = host.processId();
    ProcSample start, minute;
    QElapsedTimer wall;
    QTimer::singleShot(3000, [&] {
        start = sample(pid);
        wall.start();
    });
    QTimer::singleShot(3000 + std::min(60, seconds / 3) * 1000, [&] {
        minute = sample(pid);
        stats.floodStartUs = nowUs();
        players[13]->startFlood();
    });
    // Lines still on their way arrive (for at most a minute); then what never came is counted.
    const auto allArrived = [&] {
        for (auto &r : players)
            for (auto &s : players)
                if (r->kind == Kind::WellBehaved && s->kind == Kind::WellBehaved && r != s &&
                    r->lastSeen[s->id] < s->seq)
                    return false;
        return true;
    };
    QTimer settle;
    QElapsedTimer settling;
    QObject::connect(&settle, &QTimer::timeout, [&] {
        if (allArrived() || settling.hasExpired(60000))
            app.quit();
    });
    QTimer::singleShot(3000 + seconds * 1000, [&] {
        for (auto &p : players)
            p->stopChatting();
        settling.start();
        settle.start(200);
    });
    app.exec();
    const ProcSample end = sample(pid);
    const double elapsed = double(wall.elapsed()) / 1000.0;
    const QByteArray boxes = [&] {
        QFile f(home.filePath(QStringLiteral("boxes.log")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    host.kill();
    host.waitForFinished();

    // Lines never seen at the end: each well-behaved receiver against each well-behaved sender.
    for (auto &r : players) {
        if (r->kind != Kind::WellBehaved)
            continue;
        for (auto &s : players) {
            if (s->kind != Kind::WellBehaved || s.get() == r.get())
                continue;
            stats.lost += s->seq - r->lastSeen[s->id];
        }
    }
    const double growth = end.rssMb - minute.rssMb;
    std::printf("run: %d s with 14 scripted players and %s: %d turns, %d stroke messages relayed to one "
                "player\n",
                seconds, dedicated ? "quillet-host" : "the host's own player", stats.turns, stats.strokes);
    std::printf("host CPU: %.1f%% of one core\n", 100.0 * (end.cpuSeconds - start.cpuSeconds) / elapsed);
    std::printf("host RSS: %.1f MB at start, %.1f MB after the first minute, %.1f MB at the end "
                "(growth %.1f MB: %s)\n",
                start.rssMb, minute.rssMb, end.rssMb, growth, growth <= 10 ? "ok" : "FAIL");
    const double quiet99 = percentile(stats.quietMs, 0.99);
    std::printf("chat latency before the flood: p50 %.1f ms, p99 %.1f ms (%zu lines)\n",
                percentile(stats.quietMs, 0.5), quiet99, stats.quietMs.size());
    const double flood99 = percentile(stats.floodMs, 0.99);
    std::printf("chat latency during the flood: p50 %.1f ms, p99 %.1f ms (%zu lines): flooder delays "
                "others by %.1f ms at p99 (%s)\n",
                percentile(stats.floodMs, 0.5), flood99, stats.floodMs.size(), flood99 - quiet99,
                flood99 - quiet99 <= 100 ? "ok" : "FAIL");
    std::printf("chat lines lost %lld, out of order %lld (%s)\n", stats.lost, stats.reordered,
                stats.lost == 0 && stats.reordered == 0 ? "ok" : "FAIL");
    if (stats.silentDroppedUs >= 0)
        std::printf("silent reader dropped %.1f s after the flood began (ok)\n",
                    double(stats.silentDroppedUs - stats.floodStartUs) / 1e6);
    else
        std::printf("silent reader never dropped (FAIL)\n");
    std::printf("well-behaved players dropped by the host: %d; error boxes on the host: %d\n",
                stats.wellBehavedDropped, int(boxes.count('\n')));
    if (dedicated) {
        std::printf("score panels at turn starts: %lld checked, %lld differ from the host's (%s)\n",
                    stats.panelChecks, stats.panelMismatches,
                    stats.panelChecks > 0 && stats.panelMismatches == 0 ? "ok" : "FAIL");
        for (const QString &e : std::as_const(stats.mismatchExamples))
            std::printf("  %s\n", qPrintable(e));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--host") == 0)
        return runHost();
    return runDriver(argc, argv);
}
