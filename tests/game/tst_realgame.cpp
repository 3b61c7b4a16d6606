// The real program: a hosting copy and two joining copies play one turn under a private X
// server. The copies are driven with the pointer and keyboard of that X server; a raw player
// logged into the host watches what the host sends.

#include "assets/assets.h"
#include "board/drawingboard.h"
#include "client/tchat.h"
#include "protocol/cp1252.h"
#include "tests/board/rawpeer.h"
#include "tests/support/netsupport.h"
#include "tests/support/tchatui.h"
#include "tests/support/xsession.h"
#include "windows/tgamestartform.h"

#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <memory>

namespace {

// The mask's word lengths: "____ ___ " gives 4, 3.
QList<int> wordLengths(const QString &mask)
{
    QList<int> lengths;
    int run = 0;
    for (QChar c : mask) {
        if (c == QLatin1Char(' ')) {
            lengths << run;
            run = 0;
        } else {
            ++run;
        }
    }
    return lengths;
}

} // namespace

class RealGame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void oneTurnAcrossThreeCopies();

private:
    using Copy = XCopy;

    void startCopy(Copy &c, const QString &name, const QString &third, const QString &instance);

    QTemporaryDir home;
    XSession x;
    quint16 gamePort = 0;
    quint16 lobbyPort = 0;
    std::unique_ptr<Copy> ann, bob, cid;
    // Where the controls sit in a main window of the start size, from a window of our own.
    std::unique_ptr<Tchat> probe;
    std::unique_ptr<Tgamestartform> probeForm;
};

void RealGame::initTestCase()
{
    QUILLET_REQUIRE_TOOLS(QStringLiteral("Xvfb"), QStringLiteral("xdotool"), QStringLiteral("import"));
    QVERIFY(!qEnvironmentVariableIsEmpty("QUILLET_BINARY"));
    const QString failed = x.start(QStringLiteral("2400x1000x24"));
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    gamePort = freePort();
    lobbyPort = freePort();

    probe = std::make_unique<Tchat>();
    probe->setparams({QStringLiteral("Probe")});
    probe->show();
    QVERIFY(QTest::qWaitForWindowExposed(probe.get()));
    probeForm = std::make_unique<Tgamestartform>();
}

void RealGame::cleanupTestCase()
{
    ann.reset();
    bob.reset();
    cid.reset();
    probe.reset();
    x.stop();
}

void RealGame::startCopy(Copy &c, const QString &name, const QString &third, const QString &instance)
{
    c.log = home.filePath(QStringLiteral("errors-") + instance + QStringLiteral(".log"));
    QProcessEnvironment env = x.environment();
    env.insert(QStringLiteral("QUILLET_GAME_PORT"), QString::number(gamePort));
    env.insert(QStringLiteral("QUILLET_LOBBY_PORT"), QString::number(lobbyPort));
    env.insert(QStringLiteral("QUILLET_INSTANCE"), instance);
    env.insert(QStringLiteral("QUILLET_HOME"), home.path());
    env.insert(QStringLiteral("QUILLET_ERRORBOX_LOG"), c.log);
    env.insert(QStringLiteral("QUILLET_ANNOUNCE_ADDRESS"), QStringLiteral("127.0.0.1")); // never the network
    c.proc.setProcessEnvironment(env);
    endsWithUs(c.proc);
    c.proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    c.proc.start(qEnvironmentVariable("QUILLET_BINARY"), {name, QStringLiteral("127.0.0.1"), third});
    QVERIFY(c.proc.waitForStarted(5000));
    c.window = x.findWindow(c.proc.processId(), QStringLiteral("^Quillet - Orvane Software$"));
    QVERIFY2(!c.window.isEmpty(), "the main window did not show");
}

void RealGame::oneTurnAcrossThreeCopies()
{
    const QString scope =
        QStringLiteral("tst-realgame-") + QString::number(QCoreApplication::applicationPid());
    // The host first, its own player in slot 1; then a raw player who watches the host's messages.
    ann = std::make_unique<Copy>();
    startCopy(*ann, QStringLiteral("Ann"), QStringLiteral("true"), scope + QStringLiteral("-ann"));
    QTRY_VERIFY_WITH_TIMEOUT(acceptsConnections(gamePort), 10000);
    QTest::qWait(300);
    RawPeer watcher;
    QVERIFY(watcher.connectTo(gamePort));
    const QString welcome = watcher.next(5000);
    QVERIFY2(welcome.startsWith(QStringLiteral("CMD_sendlogininfo+")) &&
                 welcome != QStringLiteral("CMD_sendlogininfo+1"),
             qPrintable(welcome));
    const QString watcherSlot = welcome.mid(18);
    watcher.send(QStringLiteral("CMD_logininfo+") + watcherSlot + QStringLiteral("+2.2.8+Watcher"));

    bob = std::make_unique<Copy>();
    startCopy(*bob, QStringLiteral("Bob"), QStringLiteral("join"), scope + QStringLiteral("-bob"));
    const QString bobIn = watcher.nextOf(QStringLiteral("CMD_newplayerinfo+"), 10000);
    QVERIFY(bobIn.endsWith(QStringLiteral("+Bob")) || bobIn.endsWith(QStringLiteral("+Watcher")));
    QString bobSlot;
    for (QString m = bobIn; !m.isEmpty(); m = watcher.nextOf(QStringLiteral("CMD_newplayerinfo+"), 10000)) {
        if (m.endsWith(QStringLiteral("+Bob"))) {
            bobSlot = m.section(QLatin1Char('+'), 1, 1);
            break;
        }
    }
    QVERIFY(!bobSlot.isEmpty());
    cid = std::make_unique<Copy>();
    startCopy(*cid, QStringLiteral("Cid"), QStringLiteral("join"), scope + QStringLiteral("-cid"));
    QVERIFY(watcher.nextOf(QStringLiteral("CMD_newplayerinfo+"), 10000).endsWith(QStringLiteral("+Cid")));

    // Side by side, so the pointer reaches each one.
    const QSize size = probe->size();
    Copy *copies[] = {ann.get(), bob.get(), cid.get()};
    for (int i = 0; i < 3; ++i) {
        copies[i]->origin = QPoint(i * (size.width() + 2), 0);
        x.xdo({QStringLiteral("windowmove"), QStringLiteral("--sync"), copies[i]->window,
               QString::number(copies[i]->origin.x()), QStringLiteral("0")});
    }
    QTest::qWait(300);
    const auto at = [&](const Copy &c, QWidget *w) {
        return c.origin + w->mapTo(probe.get(), w->rect().center());
    };

    // Ann opens the game-start dialog and starts with its values as they stand.
    x.click(at(*ann, ui(probe).button_start));
    const QString dialog = x.findWindow(ann->proc.processId(), QStringLiteral("^Quillet - Start Game$"));
    QVERIFY2(!dialog.isEmpty(), "the game-start dialog did not show");
    const QString geometry = x.xdo({QStringLiteral("getwindowgeometry"), dialog});
    const QRegularExpressionMatch pos =
        QRegularExpression(QStringLiteral("Position: (\\d+),(\\d+)")).match(geometry);
    QVERIFY(pos.hasMatch());
    x.click(QPoint(pos.captured(1).toInt(), pos.captured(2).toInt()) +
            probeForm->startButton->geometry().center());
    QCOMPARE(watcher.nextOf(QStringLiteral("CMD_startgame+"), 10000),
             QStringLiteral("CMD_startgame+1+false+20+120"));
    QCOMPARE(watcher.nextOf(QStringLiteral("CMD_pickcatagory+")), QStringLiteral("CMD_pickcatagory+1"));

    // Ann draws first: she picks "General" and draws a stroke.
    QTest::qWait(200);
    x.click(at(*ann, ui(probe).button_cat[0]));
    const QString next = watcher.nextOf(QStringLiteral("CMD_nextplayer+"), 10000);
    QVERIFY2(next.startsWith(QStringLiteral("CMD_nextplayer+1+0+")), qPrintable(next));
    const QString mask = next.mid(QStringLiteral("CMD_nextplayer+1+0+").size());

    const QPoint board = ann->origin + ui(probe).image_main->mapTo(probe.get(), QPoint(0, 0));
    const QList<QPoint> stroke = {{100, 100}, {160, 130}, {220, 100}, {280, 160}, {340, 120}};
    QStringList args = XSession::strokeArgs(board, stroke, QStringLiteral("0.05"));
    args << QStringLiteral("mouseup") << QStringLiteral("1");
    x.xdo(args);
    QCOMPARE(watcher.nextOf(QStringLiteral("CMD_moveit+")), QStringLiteral("CMD_moveit+1+clBlack+3+100+100"));
    // The points leave while the button is held, in one message or several.
    QString draw;
    while (!draw.endsWith(QStringLiteral("+340,120+"))) {
        const QString part = watcher.nextOf(QStringLiteral("CMD_draw+"));
        QVERIFY2(part.startsWith(QStringLiteral("CMD_draw+1+clBlack+3++")), qPrintable(part));
        draw += part.mid(QStringLiteral("CMD_draw+1+clBlack+3+").size());
    }
    QCOMPARE(draw.split(QLatin1Char('+'), Qt::SkipEmptyParts).size(), stroke.size() - 1);

    // Bob's copy drew the relayed stroke on its own drawing area.
    QTest::qWait(500);
    const QPoint bobBoard = bob->origin + ui(probe).image_main->mapTo(probe.get(), QPoint(0, 0));
    const QImage bobView = x.shot(QRect(bobBoard, ui(probe).image_main->size()));
    QVERIFY(!bobView.isNull());
    for (const QPoint &p : stroke)
        QVERIFY2(qGray(bobView.pixel(p)) < 64, qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    if (!qEnvironmentVariableIsEmpty("QUILLET_SHOTS")) {
        const QString dir = qEnvironmentVariable("QUILLET_SHOTS");
        x.shot(QRect(ann->origin, size)).save(dir + QStringLiteral("/drawer.png"));
        x.shot(QRect(bob->origin, size)).save(dir + QStringLiteral("/guesser.png"));
    }

    // Bob guesses: every word of every "General" phrase that fits the mask.
    const QList<int> lengths = wordLengths(mask);
    QStringList words;
    const QString list = cp1252::decode(assets::load(QStringLiteral("phrases/general.txt")));
    for (QString line : list.split(QLatin1Char('\n'))) {
        line.remove(QLatin1Char('\r'));
        const QStringList parts = line.split(QLatin1Char(' '));
        QList<int> l;
        for (const QString &w : parts)
            l << int(w.size());
        if (l != lengths)
            continue;
        for (const QString &w : parts)
            if (!w.isEmpty() && !words.contains(w.toUpper()))
                words << w.toUpper();
    }
    QVERIFY2(!words.isEmpty(), qPrintable(mask));
    x.click(at(*bob, ui(probe).edit_answer));
    x.xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("2"),
           words.join(QLatin1Char(' '))},
          30000);
    x.xdo({QStringLiteral("key"), QStringLiteral("Return")});
    const QString mine = watcher.nextOf(QStringLiteral("CMD_myguessed+"), 10000);
    QVERIFY2(mine.startsWith(QStringLiteral("CMD_myguessed+") + bobSlot + QLatin1Char('+')),
             qPrintable(mine));
    const QString correct = watcher.nextOf(QStringLiteral("CMD_correctanswer+"), 10000);
    QVERIFY2(correct.startsWith(QStringLiteral("CMD_correctanswer+") + bobSlot + QStringLiteral("+2+1+1+")),
             qPrintable(correct));

    for (Copy *c : copies) {
        QFile log(c->log);
        QVERIFY2(!log.exists() || log.size() == 0, qPrintable(c->log));
        QCOMPARE(c->proc.state(), QProcess::Running);
    }
}

QTEST_MAIN(RealGame)
#include "tst_realgame.moc"
