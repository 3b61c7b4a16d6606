// The dedicated host, quillet-host, as a real process: its log, its stop on a signal, a taken
// port, and a game of two real copies of the program that joined it.

#include "board/drawingboard.h"
#include "client/tchat.h"
#include "lan/announce.h"
#include "platform/config.h"
#include "protocol/commands.h"
#include "tests/board/rawpeer.h"
#include "tests/quillet-host/hostprocess.h"
#include "tests/support/netsupport.h"
#include "tests/support/tchatui.h"
#include "tests/support/textsupport.h"
#include "tests/support/xsession.h"
#include "windows/tgamestartform.h"

#include <QAbstractButton>
#include <QNetworkDatagram>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>
#include <csignal>
#include <memory>

using Host = HostProcess;

class HostExe : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void logsPlayersAndStopsOnSignals();
    void refusesATakenPort();
    void portsOutOfRangeAndHelp();
    void ownPhrasesAndHints();
    void twoCopiesPlayOnADedicatedHost();
    void cleanupTestCase();

private:
    using Copy = XCopy;
    void startCopy(Copy &c, const QString &name, quint16 port);

    QTemporaryDir home;
    XSession x;
};

void HostExe::initTestCase()
{
    QVERIFY(!qEnvironmentVariableIsEmpty("QUILLET_HOST_BINARY"));
}

void HostExe::cleanupTestCase()
{
    x.stop();
}

void HostExe::logsPlayersAndStopsOnSignals()
{
    // Its game is announced to the network (here: to a listener on loopback).
    QUdpSocket hearing;
    QVERIFY(hearing.bind(QHostAddress::LocalHost, 0));
    qputenv("QUILLET_ANNOUNCE_PORT", QByteArray::number(hearing.localPort()));
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const quint16 port = freePort();
        Host host;
        // --no-web has the last word over a web port.
        host.start(port,
                   {QStringLiteral("--web-port"), QString::number(freePort()), QStringLiteral("--no-web")});
        QCOMPARE(host.waitLine(QStringLiteral("Listening")),
                 QStringLiteral("Listening on port %1").arg(port));

        // The first to join holds slot 1; a name's control characters do not reach the log.
        RawPeer ann, bob;
        QVERIFY(ann.connectTo(port));
        QCOMPARE(ann.next(), QStringLiteral("CMD_sendlogininfo+1"));
        ann.send(QStringLiteral("CMD_logininfo+1+2.2.8+Ann"));
        QCOMPARE(host.waitLine(QStringLiteral("Player joined")),
                 QStringLiteral("Player joined: slot 1 (Ann)"));
        QVERIFY(bob.connectTo(port));
        QCOMPARE(bob.next(), QStringLiteral("CMD_sendlogininfo+2"));
        bob.send(QStringLiteral("CMD_logininfo+2+2.2.8+Bob\tX"));
        QCOMPARE(host.waitLine(QStringLiteral("Player joined")),
                 QStringLiteral("Player joined: slot 2 (Bob X)"));
        std::optional<announce::Announcement> heard;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                while (hearing.hasPendingDatagrams()) {
                    const auto a =
                        announce::decode(hearing.receiveDatagram().data(), config::announcePrefix());
                    if (a && a->port == port && a->seated == 2)
                        heard = a;
                }
                return heard.has_value();
            }(),
            5000);
        QCOMPARE(heard->name, QStringLiteral("Dedicated host"));
        // A name that would pass for an empty seat is refused, and the log says so.
        RawPeer fake;
        QVERIFY(fake.connectTo(port));
        QCOMPARE(fake.next(), QStringLiteral("CMD_sendlogininfo+3"));
        fake.send(QStringLiteral("CMD_logininfo+3+2.2.8+<Waiting>"));
        QCOMPARE(host.waitLine(QStringLiteral("Slot 3")),
                 QStringLiteral("Slot 3 refused: the name \"<Waiting>\" would look like an empty seat"));
        QTRY_VERIFY(!fake.connected());
        ann.send(QStringLiteral("CMD_startgame+1+false+5+60"));
        QCOMPARE(host.waitLine(QStringLiteral("Game started")),
                 QStringLiteral("Game started by slot 1: play to 5, 60 seconds a turn"));
        QCOMPARE(host.waitLine(QStringLiteral("Turn")), QStringLiteral("Turn: slot 1 (Ann)"));
        ann.socket()->disconnectFromHost();
        QCOMPARE(host.waitLine(QStringLiteral("Player left")), QStringLiteral("Player left: slot 1 (Ann)"));

        ::kill(pid_t(host.proc.processId()), signal);
        QVERIFY(host.proc.waitForFinished(5000));
        QCOMPARE(host.proc.exitStatus(), QProcess::NormalExit);
        QCOMPARE(host.proc.exitCode(), 0);
        QVERIFY(host.waitLine(QStringLiteral("Stopped"), 100) == QStringLiteral("Stopped"));
        QVERIFY(host.lines.filter(QStringLiteral("Web page")).isEmpty());
        // The players' connections close with it.
        QTRY_VERIFY(!bob.connected());
    }
}

void HostExe::refusesATakenPort()
{
    const quint16 port = freePort();
    Host first;
    first.start(port);
    QVERIFY(!first.waitLine(QStringLiteral("Listening")).isEmpty());
    Host second;
    second.start(port);
    QVERIFY(second.proc.waitForFinished(5000));
    QCOMPARE(second.proc.exitStatus(), QProcess::NormalExit);
    QVERIFY(second.proc.exitCode() != 0);
    QCOMPARE(QString::fromUtf8(second.proc.readAllStandardError()).trimmed(),
             QStringLiteral("Listen - Error Binding Socket."));
    QVERIFY(second.proc.readAllStandardOutput().isEmpty());
    QCOMPARE(first.proc.state(), QProcess::Running);
}

void HostExe::portsOutOfRangeAndHelp()
{
    // The port from the environment is checked as strictly as the one from the command line.
    struct Case
    {
        QByteArray env;
        QStringList args;
        int code;
        QString out, err;
        QString variable = QStringLiteral("QUILLET_GAME_PORT");
    };
    const QList<Case> cases{
        {"99999", {QStringLiteral("--no-announce")}, 2, {}, QStringLiteral("99999 (QUILLET_GAME_PORT)")},
        {"port", {QStringLiteral("--no-announce")}, 2, {}, QStringLiteral("port (QUILLET_GAME_PORT)")},
        {{}, {QStringLiteral("--port"), QStringLiteral("0")}, 2, {}, QStringLiteral("0 (--port)")},
        {"99999", {QStringLiteral("--help")}, 0, QStringLiteral("usage: quillet-host"), {}},
        {{},
         {QStringLiteral("--web-port"), QStringLiteral("70000")},
         2,
         {},
         QStringLiteral("70000 (--web-port)")},
        {"web", {}, 2, {}, QStringLiteral("web (QUILLET_WEB_PORT)"), QStringLiteral("QUILLET_WEB_PORT")},
    };
    for (const Case &c : cases) {
        QProcess proc;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        if (!c.env.isEmpty())
            env.insert(c.variable, QString::fromLatin1(c.env));
        proc.setProcessEnvironment(env);
        proc.start(qEnvironmentVariable("QUILLET_HOST_BINARY"), c.args);
        QVERIFY2(proc.waitForFinished(5000), qPrintable(c.args.join(u' ') + QString::fromLatin1(c.env)));
        QCOMPARE(proc.exitCode(), c.code);
        const QString out = QString::fromUtf8(proc.readAllStandardOutput());
        const QString err = QString::fromUtf8(proc.readAllStandardError());
        QVERIFY2(!out.contains(QStringLiteral("Listening")), qPrintable(out));
        if (!c.out.isEmpty())
            QVERIFY2(out.startsWith(c.out) && out.contains(QStringLiteral("--web-port N, --no-web:")),
                     qPrintable(out));
        if (!c.err.isEmpty())
            QVERIFY2(err.contains(c.err) && err.contains(QStringLiteral("1 to 65535")), qPrintable(err));
    }
}

void HostExe::ownPhrasesAndHints()
{
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.txt"));
    const QString good = dir.filePath(QStringLiteral("good.txt"));
    QVERIFY(writefile(bad, "hot dog\n[Movies]\n\n[TV Shows]\nfriends\n"));
    QVERIFY(writefile(good, "# everything but films\nhot dog\n[Movies]\nstar wars\n"));

    // Refused before anything listens, with the line to blame.
    {
        Host refused;
        refused.start(freePort(), {QStringLiteral("--no-announce"), QStringLiteral("--phrases"), bad});
        QVERIFY(refused.proc.waitForFinished(5000));
        QCOMPARE(refused.proc.exitCode(), 2);
        const QString err = QString::fromUtf8(refused.proc.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("line 2: [Movies] has no phrases")), qPrintable(err));
        QVERIFY(!refused.proc.readAllStandardOutput().contains("Listening"));
    }

    // A game on the host's own phrases, with hints although the start did not ask for them.
    const quint16 port = freePort();
    Host host;
    host.start(port, {QStringLiteral("--no-announce"), QStringLiteral("--phrases"), good,
                      QStringLiteral("--hints")});
    QVERIFY(!host.waitLine(QStringLiteral("Listening")).isEmpty());
    QCOMPARE(host.waitLine(QStringLiteral("Phrases")), QStringLiteral("Phrases from ") + good);
    RawPeer ann;
    QVERIFY(ann.connectTo(port));
    QCOMPARE(ann.next(), QStringLiteral("CMD_sendlogininfo+1"));
    ann.send(QStringLiteral("CMD_logininfo+1+2.2.8+Ann"));
    ann.send(cmd::buildStartgame(1, false, 5, 30));
    QCOMPARE(host.waitLine(QStringLiteral("Game started")),
             QStringLiteral("Game started by slot 1: play to 5, 30 seconds a turn, letter hints"));
    QCOMPARE(ann.nextOf(QStringLiteral("CMD_startgame")), QStringLiteral("CMD_startgame+1+false+5+30"));
    QCOMPARE(ann.next(), QStringLiteral("CMD_hints+true"));
    ann.send(cmd::buildPickcatagory(1, 4));
    QCOMPARE(ann.nextOf(QStringLiteral("CMD_givedraweranswer")),
             QStringLiteral("CMD_givedraweranswer+STAR WARS"));
}

void HostExe::startCopy(Copy &c, const QString &name, quint16 port)
{
    const QString instance = QStringLiteral("tst-hostexe-%1-").arg(QCoreApplication::applicationPid()) + name;
    c.log = home.filePath(QStringLiteral("errors-") + name + QStringLiteral(".log"));
    QProcessEnvironment env = x.environment();
    env.insert(QStringLiteral("QUILLET_GAME_PORT"), QString::number(port));
    env.insert(QStringLiteral("QUILLET_LOBBY_PORT"), QString::number(freePort()));
    env.insert(QStringLiteral("QUILLET_INSTANCE"), instance);
    env.insert(QStringLiteral("QUILLET_HOME"), home.path());
    env.insert(QStringLiteral("QUILLET_ERRORBOX_LOG"), c.log);
    c.proc.setProcessEnvironment(env);
    endsWithUs(c.proc);
    c.proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    c.proc.start(qEnvironmentVariable("QUILLET_BINARY"),
                 {name, QStringLiteral("127.0.0.1"), QStringLiteral("join")});
    QVERIFY(c.proc.waitForStarted(5000));
    c.window = x.findWindow(c.proc.processId(), QStringLiteral("^Quillet - Orvane Software$"));
    QVERIFY2(!c.window.isEmpty(), "the main window did not show");
}

void HostExe::twoCopiesPlayOnADedicatedHost()
{
    QUILLET_REQUIRE_TOOLS(QStringLiteral("Xvfb"), QStringLiteral("xdotool"));
    QVERIFY(!qEnvironmentVariableIsEmpty("QUILLET_BINARY"));
    const QString failed = x.start(QStringLiteral("1700x700x24"));
    QVERIFY2(failed.isEmpty(), qPrintable(failed));

    const quint16 port = freePort();
    Host host;
    host.start(port);
    QVERIFY(!host.waitLine(QStringLiteral("Listening")).isEmpty());

    // Two copies join; the first holds slot 1. A raw player joins last and watches.
    Copy ann, bob;
    startCopy(ann, QStringLiteral("Ann"), port);
    QCOMPARE(host.waitLine(QStringLiteral("Player joined")), QStringLiteral("Player joined: slot 1 (Ann)"));
    startCopy(bob, QStringLiteral("Bob"), port);
    QCOMPARE(host.waitLine(QStringLiteral("Player joined")), QStringLiteral("Player joined: slot 2 (Bob)"));
    RawPeer watcher;
    QVERIFY(watcher.connectTo(port));
    QCOMPARE(watcher.next(5000), QStringLiteral("CMD_sendlogininfo+3"));
    watcher.send(QStringLiteral("CMD_logininfo+3+2.2.8+Watcher"));

    // Where the controls sit in a main window of the start size, from a window of our own.
    Tchat probe;
    probe.show();
    QVERIFY(QTest::qWaitForWindowExposed(&probe));
    Tgamestartform probeForm;
    Copy *copies[] = {&ann, &bob};
    for (int i = 0; i < 2; ++i) {
        copies[i]->origin = QPoint(i * (probe.width() + 2), 0);
        x.xdo({QStringLiteral("windowmove"), QStringLiteral("--sync"), copies[i]->window,
               QString::number(copies[i]->origin.x()), QStringLiteral("0")});
    }
    QTest::qWait(300);
    const auto at = [&](const Copy &c, QWidget *w) {
        return c.origin + w->mapTo(&probe, w->rect().center());
    };

    // Ann, in slot 1, has the hosting player's Start button and dialog.
    x.click(at(ann, ui(probe).button_start));
    const QString dialog = x.findWindow(ann.proc.processId(), QStringLiteral("^Quillet - Start Game$"));
    QVERIFY2(!dialog.isEmpty(), "the game-start dialog did not show");
    const QRegularExpressionMatch pos = QRegularExpression(QStringLiteral("Position: (\\d+),(\\d+)"))
                                            .match(x.xdo({QStringLiteral("getwindowgeometry"), dialog}));
    QVERIFY(pos.hasMatch());
    x.click(QPoint(pos.captured(1).toInt(), pos.captured(2).toInt()) +
            probeForm.startButton->geometry().center());
    QCOMPARE(watcher.nextOf(QStringLiteral("CMD_startgame+"), 10000),
             QStringLiteral("CMD_startgame+1+false+20+120"));
    QVERIFY(!host.waitLine(QStringLiteral("Game started by slot 1")).isEmpty());
    QCOMPARE(host.waitLine(QStringLiteral("Turn")), QStringLiteral("Turn: slot 1 (Ann)"));

    // Ann picks "General" and draws; the points reach the others while the button is held.
    QTest::qWait(200);
    x.click(at(ann, ui(probe).button_cat[0]));
    QVERIFY(watcher.nextOf(QStringLiteral("CMD_nextplayer+1+0+"), 10000).size() > 0);
    QTest::qWait(200);
    const QPoint board = ann.origin + ui(probe).image_main->mapTo(&probe, QPoint(0, 0));
    const QList<QPoint> stroke = {{100, 100}, {160, 130}, {220, 100}, {280, 160}, {340, 120}};
    QStringList args = XSession::strokeArgs(board, stroke, QStringLiteral("0.1"));
    x.xdo(args);
    QCOMPARE(watcher.nextOf(QStringLiteral("CMD_moveit+")), QStringLiteral("CMD_moveit+1+clBlack+3+100+100"));
    QString points;
    while (!points.endsWith(QStringLiteral("+340,120+"))) {
        const QString draw = watcher.nextOf(QStringLiteral("CMD_draw+1+clBlack+3++"), 5000);
        QVERIFY2(!draw.isEmpty(), qPrintable(points));
        points += draw.mid(QStringLiteral("CMD_draw+1+clBlack+3+").size());
    }
    const QStringList got = points.split(QLatin1Char('+'), Qt::SkipEmptyParts);
    QCOMPARE(got, (QStringList{QStringLiteral("160,130"), QStringLiteral("220,100"),
                               QStringLiteral("280,160"), QStringLiteral("340,120")}));
    x.xdo({QStringLiteral("mouseup"), QStringLiteral("1")});

    for (Copy *c : copies) {
        QFile log(c->log);
        QVERIFY2(!log.exists() || log.size() == 0, qPrintable(c->log));
    }
    // The host stops: both copies stay to say so (the game is over, not the program), and end
    // when their players close them.
    host.proc.terminate();
    QVERIFY(host.proc.waitForFinished(5000));
    QTest::qWait(500);
    for (Copy *c : copies) {
        QCOMPARE(c->proc.state(), QProcess::Running);
        c->proc.terminate();
        QVERIFY(c->proc.waitForFinished(10000));
        QCOMPARE(c->proc.exitCode(), 0);
    }
}

QTEST_MAIN(HostExe)
#include "tst_hostexe.moc"
