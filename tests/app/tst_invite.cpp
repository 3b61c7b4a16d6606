// Invitations from the window: links read from the command line, the chat pane, the join dialog
// and a later copy; the hosting copy's router opening against a stand-in router and its link;
// the Invite Friends window; a link on the command line of the real program joining a real host.
#include "app/hostingrole.h"
#include "app/hostjoin.h"
#include "app/program.h"
#include "app/singleinstance.h"
#include "client/chatpane.h"
#include "client/tchat.h"
#include "features/ini.h"
#include "platform/errors.h"
#include "protocol/tsock.h"
#include "router/localaddress.h"
#include "router/routeropening.h"
#include "tests/support/netsupport.h"
#include "tests/support/standinrouter.h"
#include "tests/support/tchatui.h"
#include "widgets/chatviewer.h"
#include "widgets/flatbutton.h"
#include "windows/hostgamedialog.h"
#include "windows/invitewindow.h"
#include "windows/joingamedialog.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QLocalServer>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>
#include <sys/file.h>

using testsupport::ServedRouter;
using testsupport::StandInRouter;

namespace {
quint16 freeUdpPort()
{
    QUdpSocket s;
    s.bind(QHostAddress::LocalHost, 0);
    return s.localPort();
}

QStringList lines(const Tchat &t)
{
    QStringList out;
    for (const auto &l : logof(t).lines)
        out << l.first;
    return out;
}

int count(const QStringList &list, const QString &part)
{
    return int(std::count_if(list.begin(), list.end(), [&](const QString &l) { return l.contains(part); }));
}
} // namespace

class TestInvite : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    QStringList boxes;

    QString settings() const { return home.filePath(u"orvanelobby.ini"_qs); }
    quint16 gamePort() const { return quint16(qEnvironmentVariableIntValue("QUILLET_GAME_PORT")); }

private slots:
    void initTestCase()
    {
        errorbox::setHook([this](const QString &t) { boxes << t; });
        qputenv("QUILLET_HOME", home.path().toUtf8());
        qputenv("QUILLET_ANNOUNCE_ADDRESS", "127.0.0.1");
        qputenv("QUILLET_INSTANCE", "tst-invite-" + QByteArray::number(QCoreApplication::applicationPid()));
    }
    void init()
    {
        boxes.clear();
        qputenv("QUILLET_GAME_PORT", QByteArray::number(freePort()));
        qputenv("QUILLET_LOBBY_PORT", QByteArray::number(freePort()));
        qputenv("QUILLET_ANNOUNCE_PORT", QByteArray::number(freeUdpPort()));
        QFile::remove(settings());
    }
    // However a case ended: no router to ask, no page served.
    void cleanup()
    {
        qputenv("QUILLET_IGD_URL", "http://127.0.0.1:9/rootDesc.xml");
        qunsetenv("QUILLET_IGD_LEASE");
        qputenv("QUILLET_WEB_PORT", "0");
    }

    // A link in the address field joins its host and port; one that does not read says why,
    // keeps Join off and joins nothing.
    void linksInTheJoinDialog()
    {
        JoinGameDialog d;
        d.setName(u"Zed"_qs);
        const QString port = QString::number(gamePort());
        const QList<QPair<QString, QString>> good{
            {u"quillet://127.0.0.1:7801"_qs, u"127.0.0.1:7801"_qs},
            {u"  QUILLET://example.org/ "_qs, u"example.org:"_qs + port},
            {u"quillet://game-host.lan:7772"_qs, u"game-host.lan:7772"_qs},
            {u"127.0.0.1:7801"_qs, u"127.0.0.1:7801"_qs}, // an address still reads as before
        };
        for (const auto &[text, joins] : good) {
            d.setAddress(text);
            QVERIFY2(d.joinButton->isEnabled(), qPrintable(text));
            QVERIFY2(d.problem->text().isEmpty(), qPrintable(d.problem->text()));
            QCOMPARE(d.address(), joins);
        }
        for (const QString &bad :
             {u"quillet://010.0.0.1:7772"_qs, u"quillet://host:0"_qs, u"quillet://host:99999"_qs,
              u"quillet://[::1]:7772"_qs, u"quillet:/host"_qs, u"quillet://host/path"_qs, u"quillet://"_qs,
              u"quillet://us@host:7772"_qs, u"quillet://127.1:7772"_qs}) {
            d.setAddress(bad);
            QVERIFY2(!d.joinButton->isEnabled(), qPrintable(bad));
            QVERIFY2(!d.problem->text().isEmpty(), qPrintable(bad));
            QVERIFY2(d.address().isEmpty(), qPrintable(bad)); // never a join to a wrong place
        }
        // At the limit a link reads; past it the whole text is refused, never cut into a link that
        // reads ("...:2820" of "...:28201...").
        const QString atLimit = QString(276, u' ') + u"quillet://127.0.0.1:2820"_qs;
        QCOMPARE(atLimit.size(), invitation::maxLength);
        d.setAddress(atLimit);
        QVERIFY(d.joinButton->isEnabled());
        const QString past = QString(276, u' ') + u"quillet://127.0.0.1:28201/////"_qs;
        d.setAddress(past);
        QCOMPARE(d.addressEdit->text(), past);
        QVERIFY(!d.joinButton->isEnabled());
        QVERIFY(d.problem->text().contains(u"too long"_qs));
        QVERIFY(d.address().isEmpty());
        // A name that begins with a digit is a name, never the broadcast address.
        d.setAddress(u"quillet://1example.invalid:28201"_qs);
        QCOMPARE(d.address(), u"1example.invalid:28201"_qs);
        QVERIFY_THROWS_EXCEPTION(ESockException, sockets::lookupHost(u"1example.invalid"_qs));
    }

    // A lone link as the command line: the join dialog filled in with it and the last name, and
    // one click on Join joins. A malformed one is said in the dialog and the chat pane.
    void linkOnTheCommandLine()
    {
        QCOMPARE(Program::linkParameter({u"quillet://h:1"_qs}), u"quillet://h:1"_qs);
        QVERIFY(Program::linkParameter({u"Ann"_qs, u"quillet://h:1"_qs, u"join"_qs}).isEmpty());
        QVERIFY(Program::linkParameter({u"127.0.0.1"_qs}).isEmpty());

        QVERIFY(ini::writeString(settings(), u"Quillet"_qs, HostJoin::nameKey, u"Zed"_qs));
        {
            Program p({u"quillet://127.0.0.1:7801"_qs});
            QTRY_VERIFY(p.hostjoin->joinDialog && p.hostjoin->joinDialog->isVisible());
            JoinGameDialog *d = p.hostjoin->joinDialog;
            QCOMPARE(d->name(), u"Zed"_qs);
            QCOMPARE(d->address(), u"127.0.0.1:7801"_qs);
            QTest::mouseClick(d->joinButton, Qt::LeftButton);
            QCOMPARE(p.hostjoin->nextRole, (QStringList{u"Zed"_qs, u"127.0.0.1:7801"_qs, u"join"_qs}));
        }
        {
            Program p({u"quillet://256.1.1.1:7801"_qs});
            logof(p.chat);
            QTRY_VERIFY(p.hostjoin->joinDialog && p.hostjoin->joinDialog->isVisible());
            JoinGameDialog *d = p.hostjoin->joinDialog;
            QVERIFY(!d->joinButton->isEnabled());
            QVERIFY(!d->problem->text().isEmpty());
            QCOMPARE(count(lines(*p.chat), u"0+The invitation link cannot be used: "_qs), 1);
            d->reject();
            QCOMPARE(count(lines(*p.chat), u"No game joined."_qs), 1);
            QVERIFY(p.hostjoin->nextRole.isEmpty());
        }
    }

    // A game link in the chat pane is a link; a click opens the join dialog, never the browser.
    void linksInTheChatPane()
    {
        Program p({});
        ChatPane *pane = ui(p.chat).chatpane;
        QList<QUrl> browsed;
        pane->openUrl = [&](const QUrl &u) {
            browsed << u;
            return true;
        };
        QStringList messages;
        pane->showMessage = [&](const QString &m) { messages << m; };
        pane->addlinetochat(u"1+Ann: come in quillet://127.0.0.1:7801"_qs, PlayerGame::bluecolour);
        pane->addlinetochat(u"0+quillet://127.0.0.1:7802 starts the line"_qs, PlayerGame::systemcolour);
        QCOMPARE(pane->mainchat->linkCount(), 2);

        emit pane->mainchat->jump(u"quillet://127.0.0.1:7801 "_qs);
        JoinGameDialog *d = p.hostjoin->joinDialog;
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->address(), u"127.0.0.1:7801"_qs);

        emit pane->mainchat->jump(u"quillet://127.0.0.1:99999 "_qs);
        QCOMPARE(d->addressEdit->text(), u"quillet://127.0.0.1:99999"_qs);
        QVERIFY(!d->joinButton->isEnabled());
        QVERIFY(d->problem->text().contains(u"99999"_qs) || !d->problem->text().isEmpty());
        QVERIFY(browsed.isEmpty());
        QVERIFY(messages.isEmpty());

        emit pane->mainchat->jump(u"http://example.org "_qs); // web links still go to the browser
        QCOMPARE(browsed, QList<QUrl>{QUrl(u"http://example.org"_qs)});
    }

    // The router choice is off until ticked, the web page on until unticked, and both are kept for
    // the next game hosted.
    void hostDialogKeepsTheRouterChoice()
    {
        for (const bool tick : {true, false}) {
            Program p({});
            ui(p.chat).hostGameAction->trigger();
            HostGameDialog *d = p.hostjoin->hostDialog;
            QVERIFY(d && d->isVisible());
            QCOMPARE(d->openRouterBox->text(), u"Open my router for players outside this network"_qs);
            QCOMPARE(d->openRouter(), !tick); // off at first; the second round finds the tick kept
            QCOMPARE(d->webPage(), tick);
            QCOMPARE(d->webPageBox->text(), u"Let friends join from a web browser (port 7774)"_qs);
            d->nameEdit->setText(u"Ann"_qs);
            d->openRouterBox->setChecked(tick);
            d->webPageBox->setChecked(!tick);
            d->hostButton->click();
            QCOMPARE(ini::readString(settings(), u"Quillet"_qs, HostJoin::openRouterKey),
                     tick ? u"1"_qs : u"0"_qs);
            QCOMPARE(ini::readString(settings(), u"Quillet"_qs, HostJoin::webPageKey),
                     tick ? u"0"_qs : u"1"_qs);
            QCOMPARE(p.hostjoin->nextRole, (QStringList{u"Ann"_qs, u"127.0.0.1"_qs, u"true"_qs}));
        }
    }

    // A hosting copy that was told to open the router maps its port on the (stand-in) router,
    // says so once and shows the external link; a refusal is said once and the link is the local
    // one; without the choice the router hears nothing. The mapping goes when the window closes.
    void hostingCopyOpensTheRouterAndShowsItsLink()
    {
        enum Round { Mapped, Refused, NotAsked, Lapsed };
        for (const Round round : {Mapped, Refused, NotAsked, Lapsed}) {
            init();
            const quint16 port = gamePort();
            // Closing waits for the router's answer, so the stand-in serves from a thread of its own;
            // its records are read once that thread has stopped.
            ServedRouter router;
            const StandInRouter &stand = router.stand;
            if (round == Refused)
                router.change([](StandInRouter &r) { r.refuseCode = 718; });
            qputenv("QUILLET_IGD_URL", stand.descriptionUrl().toUtf8());
            qputenv("QUILLET_IGD_LEASE", round == Lapsed ? "2" : "");
            // The page is served (and mapped) in one round.
            const quint16 webPort = round == Mapped ? freePort() : 0;
            qputenv("QUILLET_WEB_PORT", QByteArray::number(webPort));
            QVERIFY(ini::writeString(settings(), u"Quillet"_qs, HostJoin::openRouterKey,
                                     round == NotAsked ? u"0"_qs : u"1"_qs));
            const QString external = u"quillet://203.0.113.7:%1"_qs.arg(port);
            const QString local = u"quillet://%1:%2"_qs.arg(router::localAddress()).arg(port);
            {
                Program p({u"Ann"_qs, u"127.0.0.1"_qs, u"true"_qs});
                logof(p.chat);
                p.chat->processparams();
                QVERIFY(p.hosting);
                QTRY_VERIFY_WITH_TIMEOUT(p.hosting->linkShown(), 10000);
                QTest::qWait(300); // nothing more is said
                const QStringList said = lines(*p.chat);
                QCOMPARE(count(said, u"Invite friends to this game with its link: "_qs), 1);
                const bool mapped = round == Mapped || round == Lapsed;
                QCOMPARE(count(said, mapped ? external : local), 1);
                QCOMPARE(
                    count(said,
                          u"Friends without Quillet join in a web browser at http://203.0.113.7:%1/"_qs.arg(
                              webPort)),
                    round == Mapped ? 1 : 0);
                QCOMPARE(count(said, u"Your router opened port %1"_qs.arg(port)), mapped ? 1 : 0);
                QCOMPARE(count(said, router::refusalNotice(port)), round == Refused ? 1 : 0);

                QVERIFY(ui(p.chat).inviteFriendsAction->isEnabled());
                p.chat->move(300, 200);
                ui(p.chat).inviteFriendsAction->trigger();
                QVERIFY(p.inviteWindow && p.inviteWindow->isVisible());
                // Over the game window, as the other dialogs open.
                QVERIFY(p.inviteWindow->parentWidget() == p.chat.get());
                QVERIFY(p.chat->frameGeometry().contains(p.inviteWindow->frameGeometry().center()));
                if (round == Lapsed) {
                    // The router stops renewing: said once, and the dead link is no longer offered.
                    router.change([](StandInRouter &r) { r.refuseCode = 501; });
                    QTRY_COMPARE_WITH_TIMEOUT(count(lines(*p.chat), router::lapseNotice(port)), 1, 5000);
                    QCOMPARE(p.hosting->link(), local);
                    QTest::qWait(1500);
                    QCOMPARE(count(lines(*p.chat), router::lapseNotice(port)), 1);
                }
                const auto &shown = p.inviteWindow->shown;
                QCOMPARE(shown.first().text, round == Mapped ? external : local);
                // Beside the link, the page's address with its Copy.
                const invite::Entry page{u"In a web browser:"_qs, u"http://203.0.113.7:%1/"_qs.arg(webPort)};
                QCOMPARE(shown.value(1) == page, round == Mapped);
                if (round == Mapped) {
                    QTcpSocket browser;
                    browser.connectToHost(u"127.0.0.1"_qs, webPort);
                    // Asked by the address players outside were given, which the page answers to.
                    browser.write("GET / HTTP/1.1\r\nHost: 203.0.113.7:" + QByteArray::number(webPort) +
                                  "\r\nConnection: close\r\n\r\n");
                    QTRY_VERIFY(browser.state() == QAbstractSocket::UnconnectedState);
                    QVERIFY(browser.readAll().startsWith("HTTP/1.1 200 OK"));
                    p.inviteWindow->findChild<FlatButton *>(u"copy1"_qs)->click();
                    QCOMPARE(QApplication::clipboard()->text(), page.text);
                }
                QVERIFY(shown.contains(invite::Entry{u"On this computer:"_qs, u"127.0.0.1:%1"_qs.arg(port)}));
                QCOMPARE(shown.contains(
                             invite::Entry{u"Outside this network:"_qs, u"203.0.113.7:%1"_qs.arg(port)}),
                         round == Mapped);
                auto *copy = p.inviteWindow->findChild<FlatButton *>(u"copy0"_qs);
                QVERIFY(copy);
                QApplication::clipboard()->clear();
                copy->click();
                QCOMPARE(QApplication::clipboard()->text(), shown.first().text);

                QSignalSpy closed(p.chat.get(), &Tchat::closed);
                ui(p.chat).exitAction->trigger();
                QCOMPARE(closed.size(), 1);
            }
            router.stop();
            if (round == NotAsked) {
                QVERIFY(stand.requests.isEmpty());
                continue;
            }
            const auto adds = stand.of(u"AddPortMapping"_qs);
            QCOMPARE(adds.size() > (round == Mapped ? 2 : 1), round == Lapsed);
            QCOMPARE(adds.first().args.value(u"NewExternalPort"_qs), QString::number(port));
            QCOMPARE(adds.first().args.value(u"NewInternalPort"_qs), QString::number(port));
            QCOMPARE(adds.first().args.value(u"NewProtocol"_qs), u"TCP"_qs);
            QCOMPARE(adds.last().args.value(u"NewExternalPort"_qs),
                     QString::number(round == Mapped ? webPort : port));
            QCOMPARE(stand.of(u"DeletePortMapping"_qs).size(), round == Refused  ? 0
                                                               : round == Mapped ? 2
                                                                                 : 1);
        }
    }

    // A link handed over while a game is on takes no keys: it waits in the chat pane, the player's
    // typing and Enter go on into the chat, and only a click on the line opens the join dialog.
    // Without a game the join dialog opens at once.
    void linkHandedOverWithAGameOn()
    {
        Program p({u"Ann"_qs, u"127.0.0.1"_qs, u"true"_qs});
        p.chat->show();
        p.chat->processparams();
        QTRY_VERIFY_WITH_TIMEOUT(p.chat->game()->loggedin(), 5000);
        logof(p.chat).clear();
        QLineEdit *entry = p.chat->findChild<QLineEdit *>(u"mychat"_qs);
        QVERIFY(entry);
        entry->setFocus();
        QTest::keyClicks(entry, u"hi"_qs);
        p.linkArrived(u"quillet://127.0.0.1:28243"_qs);
        p.linkArrived(u"quillet://256.1.1.1:28243"_qs);
        QTest::keyClicks(entry, u" there"_qs);
        QTest::keyClick(entry, Qt::Key_Return);
        QVERIFY(!p.hostjoin->joinDialog || !p.hostjoin->joinDialog->isVisible());
        QVERIFY(p.hostjoin->nextRole.isEmpty());
        const QStringList said = lines(*p.chat);
        QCOMPARE(count(said, u"0+A link to join 127.0.0.1:28243 arrived. Click to join."_qs), 1);
        QCOMPARE(count(said, u"0+The invitation link cannot be used: "_qs), 1);
        QTRY_COMPARE(count(lines(*p.chat), u"Ann chats: hi there"_qs), 1);

        ChatViewer *viewer = ui(p.chat).chatpane->mainchat;
        int paragraph = viewer->paragraphCount() - 1;
        while (paragraph >= 0 && !viewer->paragraphText(paragraph).startsWith(u"A link to join"_qs))
            --paragraph;
        QVERIFY(paragraph >= 0);
        viewer->scrollToEnd();
        const QPoint at = viewer->itemRect(paragraph, 1).center();
        QCOMPARE(viewer->linkAt(at), u"quillet://127.0.0.1:28243"_qs);
        QTest::mouseClick(viewer->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(p.hostjoin->joinDialog && p.hostjoin->joinDialog->isVisible());
        QCOMPARE(p.hostjoin->joinDialog->address(), u"127.0.0.1:28243"_qs);

        Program idle({});
        idle.linkArrived(u"quillet://127.0.0.1:28244"_qs);
        QVERIFY(idle.hostjoin->joinDialog && idle.hostjoin->joinDialog->isVisible());
        QCOMPARE(idle.hostjoin->joinDialog->address(), u"127.0.0.1:28244"_qs);
    }

    // The Invite Friends lines: the link first, then every address, this computer last.
    void inviteEntries()
    {
        using invite::Entry;
        QCOMPARE(invite::entries(u"203.0.113.7"_qs, {u"192.168.1.5"_qs, u"10.0.0.2"_qs}, 7772),
                 (QList<Entry>{{u"Link to send:"_qs, u"quillet://203.0.113.7:7772"_qs},
                               {u"Outside this network:"_qs, u"203.0.113.7:7772"_qs},
                               {u"On this network:"_qs, u"192.168.1.5:7772"_qs},
                               {u"On this network:"_qs, u"10.0.0.2:7772"_qs},
                               {u"On this computer:"_qs, u"127.0.0.1:7772"_qs}}));
        QCOMPARE(invite::entries({}, {}, 7800).first().text, u"quillet://127.0.0.1:7800"_qs);
        QCOMPARE(invite::entries({}, {u"192.168.1.5"_qs}, 7772, 7774).value(1),
                 (Entry{u"In a web browser:"_qs, u"http://192.168.1.5:7774/"_qs}));
        for (const QString &a : invite::networkAddresses())
            QVERIFY2(!a.startsWith(u"127."_qs) && !a.startsWith(u"169.254."_qs) && !a.contains(u':'),
                     qPrintable(a));
    }

    // The hand-over's folder is made private when it is missing; a folder or server that another
    // could have made or can reach is never used: the copy runs on its own, says so on stderr,
    // and tells the squatter nothing.
    void squattedHandOverIsRefused()
    {
        QTemporaryDir tmp;
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), tmpdir = qgetenv("TMPDIR");
        qputenv("TMPDIR", tmp.path().toUtf8());
        qunsetenv("XDG_RUNTIME_DIR");
        const QString folder = SingleInstance::ownTempFolder();
        const QString scoped = SingleInstance::scopedName(u"kipmol"_qs);
        QCOMPARE(SingleInstance::privateFolder(), folder);
        QCOMPARE(QFileInfo(folder).permissions() & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                     QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                 QFile::Permissions());

        // Squatters at every name a copy could ask, reachable by anybody.
        QList<QLocalServer *> squatters;
        for (const QString &name : QStringList{folder + u'/' + scoped, tmp.filePath(scoped)}) {
            auto *s = new QLocalServer(this);
            s->setSocketOptions(QLocalServer::WorldAccessOption);
            QVERIFY(s->listen(name));
            squatters << s;
        }
        // A folder open to others: the real program runs, with its window, and says why.
        QVERIFY(QFile::setPermissions(folder, QFile::Permissions(0x7777)));
        QVERIFY(SingleInstance::privateFolder().isEmpty());
        QProcess copy;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"TMPDIR"_qs, tmp.path());
        env.remove(u"XDG_RUNTIME_DIR"_qs);
        copy.setProcessEnvironment(env);
        copy.start(qEnvironmentVariable("QUILLET_BINARY"), {u"quillet://127.0.0.1:28243"_qs});
        QVERIFY(copy.waitForStarted(5000));
        QTest::qWait(1500);
        QCOMPARE(copy.state(), QProcess::Running);
        QVERIFY2(copy.readAllStandardError().contains("is not private to this user"), "no word on stderr");
        copy.kill();
        copy.waitForFinished(5000);

        // A private folder, a first copy holding the lock, but a server open to others.
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QFile lock(folder + u'/' + scoped + u".lock"_qs);
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QCOMPARE(::flock(lock.handle(), LOCK_EX | LOCK_NB), 0);
        SingleInstance later;
        QVERIFY(!later.anotherCopyRuns(u"kipmol"_qs, u"quillet://127.0.0.1:28243"_qs));
        QTest::qWait(100);
        for (QLocalServer *s : squatters)
            QVERIFY(!s->hasPendingConnections());
        qDeleteAll(squatters);
        qputenv("XDG_RUNTIME_DIR", runtime);
        qputenv("TMPDIR", tmpdir);
        if (runtime.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        if (tmpdir.isEmpty())
            qunsetenv("TMPDIR");
    }

    // A link given to a later copy reaches the running copy, which opens its join dialog; the
    // later copy ends.
    void linkReachesTheRunningCopy()
    {
        SingleInstance single;
        QVERIFY(!single.anotherCopyRuns(u"kipmol"_qs));
        QStringList heard;
        single.onLink = [&](const QString &l) { heard << l; };
        for (const QStringList &args : {QStringList{u"quillet://127.0.0.1:7801"_qs}, QStringList{}}) {
            QProcess later;
            later.start(qEnvironmentVariable("QUILLET_BINARY"), args);
            QVERIFY(later.waitForStarted(5000));
            while (later.state() != QProcess::NotRunning)
                QTest::qWait(20);
            QCOMPARE(later.exitCode(), 0);
            QTest::qWait(200);
        }
        QCOMPARE(heard, QStringList{u"quillet://127.0.0.1:7801"_qs});
    }
};

QTEST_MAIN(TestInvite)
#include "tst_invite.moc"
