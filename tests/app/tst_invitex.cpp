// Invitations with the real program under a private X server: a hosting copy that opens the
// (stand-in) router shows its link in the chat pane and in File / Invite Friends..., and
// `quillet quillet://127.0.0.1:PORT` joins that host with one click on the dialog's Join.
#include "features/ini.h"
#include "tests/board/rawpeer.h"
#include "tests/support/netsupport.h"
#include "tests/support/standinrouter.h"
#include "tests/support/xsession.h"
#include "windows/joingamedialog.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class InviteX : public QObject
{
    Q_OBJECT
    QTemporaryDir hostHome, guestHome;
    XSession x;
    quint16 gamePort = 0;

    void start(XCopy &c, const QStringList &args, const QString &home, const QString &instance,
               const QString &igd)
    {
        QProcessEnvironment env = x.environment();
        env.insert(u"QUILLET_GAME_PORT"_qs, QString::number(gamePort));
        env.insert(u"QUILLET_LOBBY_PORT"_qs, QString::number(freePort()));
        env.insert(u"QUILLET_INSTANCE"_qs, instance);
        env.insert(u"QUILLET_HOME"_qs, home);
        env.insert(u"QUILLET_ERRORBOX_LOG"_qs, home + u"/errors.log"_qs);
        env.insert(u"QUILLET_ANNOUNCE_ADDRESS"_qs, u"127.0.0.1"_qs); // never the network
        env.insert(u"QUILLET_IGD_URL"_qs, igd);
        c.proc.setProcessEnvironment(env);
        endsWithUs(c.proc);
        c.proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        c.proc.start(qEnvironmentVariable("QUILLET_BINARY"), args);
        QVERIFY(c.proc.waitForStarted(5000));
    }
    // Where an X window sits and how big it is.
    QRect geometry(const QString &window) const
    {
        const QString g = x.xdo({u"getwindowgeometry"_qs, window});
        const auto pos = QRegularExpression(u"Position: (\\d+),(\\d+)"_qs).match(g);
        const auto size = QRegularExpression(u"Geometry: (\\d+)x(\\d+)"_qs).match(g);
        if (!pos.hasMatch() || !size.hasMatch())
            return {};
        return {pos.captured(1).toInt(), pos.captured(2).toInt(), size.captured(1).toInt(),
                size.captured(2).toInt()};
    }
    void shot(const QRect &area, const QString &name) const
    {
        if (!qEnvironmentVariableIsEmpty("QUILLET_SHOTS"))
            x.shot(area).save(qEnvironmentVariable("QUILLET_SHOTS") + u"/"_qs + name);
    }

private slots:
    void initTestCase()
    {
        QUILLET_REQUIRE_TOOLS(u"Xvfb"_qs, u"xdotool"_qs, u"import"_qs);
        QVERIFY(!qEnvironmentVariableIsEmpty("QUILLET_BINARY"));
        const QString failed = x.start(u"1600x1000x24"_qs);
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
    }
    void cleanupTestCase() { x.stop(); }

    void linkFromHostToGuest()
    {
        gamePort = freePort();
        const QString scope = u"tst-invitex-"_qs + QString::number(QCoreApplication::applicationPid());
        testsupport::StandInRouter stand;
        QVERIFY(ini::writeString(hostHome.filePath(u"orvanelobby.ini"_qs), u"Quillet"_qs, u"OpenRouter"_qs,
                                 u"1"_qs));
        XCopy host;
        start(host, {u"Ann"_qs, u"127.0.0.1"_qs, u"true"_qs}, hostHome.path(), scope + u"-host"_qs,
              stand.descriptionUrl());
        host.window = x.findWindow(host.proc.processId(), u"^Quillet - Orvane Software$"_qs);
        QVERIFY2(!host.window.isEmpty(), "the host's window did not show");
        QTRY_VERIFY_WITH_TIMEOUT(acceptsConnections(gamePort), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!stand.of(u"AddPortMapping"_qs).isEmpty(), 10000);
        QCOMPARE(stand.of(u"AddPortMapping"_qs).first().args.value(u"NewExternalPort"_qs),
                 QString::number(gamePort));
        QTest::qWait(500);
        shot(geometry(host.window), u"invite-link-in-chat.png"_qs);

        // File / Invite Friends...: the File menu opened with the pointer, its fourth item chosen
        // with the keyboard.
        const QRect hostAt = geometry(host.window);
        x.click(hostAt.topLeft() + QPoint(20, 9));
        QTest::qWait(300);
        x.xdo({u"key"_qs, u"Down"_qs, u"Down"_qs, u"Down"_qs, u"Down"_qs, u"Return"_qs});
        const QString invite = x.findWindow(host.proc.processId(), u"^Quillet - Invite Friends$"_qs);
        QVERIFY2(!invite.isEmpty(), "the Invite Friends window did not show");
        QTest::qWait(300);
        const QRect inviteAt = geometry(invite);
        shot(inviteAt, u"invite-window.png"_qs);
        x.click(QPoint(inviteAt.center().x(), inviteAt.bottom() - 20)); // Done
        QTRY_VERIFY_WITH_TIMEOUT(
            x.xdo({u"search"_qs, u"--onlyvisible"_qs, u"--name"_qs, u"^Quillet - Invite Friends$"_qs})
                .isEmpty(),
            5000);

        RawPeer watcher;
        QVERIFY(watcher.connectTo(gamePort));
        const QString welcome = watcher.next(5000);
        QVERIFY2(welcome.startsWith(u"CMD_sendlogininfo+"_qs), qPrintable(welcome));
        watcher.send(u"CMD_logininfo+"_qs + welcome.mid(18) + u"+2.2.8+Watcher"_qs);

        // The guest: the link alone on its command line; its last name comes from its settings.
        QVERIFY(ini::writeString(guestHome.filePath(u"orvanelobby.ini"_qs), u"Quillet"_qs, u"LastName"_qs,
                                 u"Zed"_qs));
        XCopy guest;
        start(guest, {u"quillet://127.0.0.1:%1"_qs.arg(gamePort)}, guestHome.path(), scope + u"-guest"_qs,
              u"http://127.0.0.1:9/rootDesc.xml"_qs);
        const QString dialog = x.findWindow(guest.proc.processId(), u"^Quillet - Join a Game$"_qs);
        QVERIFY2(!dialog.isEmpty(), "the join dialog did not show");
        QTest::qWait(300);
        const QRect at = geometry(dialog);
        shot(at, u"invite-join-dialog-from-link.png"_qs);
        // Where Join sits in a dialog of that size, from a dialog of our own.
        JoinGameDialog probe;
        probe.resize(at.size());
        probe.show();
        QVERIFY(QTest::qWaitForWindowExposed(&probe));
        x.click(at.topLeft() + probe.joinButton->mapTo(&probe, probe.joinButton->rect().center()));
        QString joined;
        for (QString m = watcher.nextOf(u"CMD_newplayerinfo+"_qs, 15000); !m.isEmpty();
             m = watcher.nextOf(u"CMD_newplayerinfo+"_qs, 15000))
            if (m.endsWith(u"+Zed"_qs)) {
                joined = m;
                break;
            }
        QVERIFY2(!joined.isEmpty(), "Zed did not join the host");

        // The link in the host's own chat pane (the green words in its right half), clicked: the
        // host's join dialog opens with it.
        // The guest's windows sit at the same place: the host's comes forward first.
        x.xdo({u"windowraise"_qs, host.window});
        QTest::qWait(300);
        const QImage window = x.shot(hostAt);
        QPoint sum;
        int found = 0;
        for (int py = 0; py < window.height(); ++py)
            for (int px = window.width() / 2; px < window.width(); ++px) {
                const QRgb c = window.pixel(px, py);
                if (qGreen(c) >= 100 && qRed(c) < 80 && qBlue(c) < 80) {
                    sum += QPoint(px, py);
                    ++found;
                }
            }
        QVERIFY2(found > 20, "no link in the host's chat pane");
        x.click(hostAt.topLeft() + sum / found);
        const QString hostDialog = x.findWindow(host.proc.processId(), u"^Quillet - Join a Game$"_qs);
        QVERIFY2(!hostDialog.isEmpty(), "a click on the link did not open the host's join dialog");
        QTest::qWait(300);
        shot(geometry(hostDialog), u"invite-chat-link-clicked.png"_qs);

        // The host removes its mapping as it ends; the stand-in answers from this thread's loop.
        host.proc.terminate();
        QTRY_COMPARE_WITH_TIMEOUT(host.proc.state(), QProcess::NotRunning, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(stand.of(u"DeletePortMapping"_qs).size(), 1, 5000);
    }
};

QTEST_MAIN(InviteX)
#include "tst_invitex.moc"
