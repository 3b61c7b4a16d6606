// Start-up inside one process: the roles' state and the single instance's restore.
#include "app/hostjoin.h"
#include "app/program.h"
#include "app/singleinstance.h"
#include "assets/assets.h"
#include "client/tchat.h"
#include "features/spylist.h"
#include "host/tserver.h"
#include "platform/errors.h"
#include "tests/support/netsupport.h"
#include "tests/support/tchatui.h"
#include "widgets/chatviewer.h"
#include "widgets/resourceicon.h"
#include "windows/joingamedialog.h"
#include "windows/startupwindows.h"
#include "windows/tgamestartform.h"

#include <QAction>
#include <QLabel>
#include <QTcpServer>
#include <QtTest>

class TestStartup : public QObject
{
    Q_OBJECT
    QStringList boxes;

private slots:
    void initTestCase()
    {
        errorbox::setHook([this](const QString &t) { boxes << t; });
    }
    void init()
    {
        boxes.clear();
        qputenv("QUILLET_GAME_PORT", QByteArray::number(freePort()));
        qputenv("QUILLET_LOBBY_PORT", QByteArray::number(freePort()));
    }

    void createsWindowsAndDefaults()
    {
        Program p({});
        QCOMPARE(p.chat->windowTitle(), u"Quillet - Orvane Software"_qs);
        QCOMPARE(p.chat->size(), QSize(797, 590));
        QVERIFY(p.chat->game()->phraseready());
        QCOMPARE(p.chat->game()->drawernumber(), 0);
        QVERIFY(!p.chat->game()->hostsay());
        QVERIFY(!p.server->inherits("QWidget")); // the host has no window
        QCOMPARE(p.gamestartform->windowTitle(), u"Quillet - Start Game"_qs);
        QCOMPARE(p.spylist->windowTitle(), u"Quillet - Spectators"_qs);
    }

    void helpAndAboutMenusShowTheirWindows()
    {
        Program p({u"Ann"_qs, u"127.0.0.1"_qs});
        p.chat->show();
        // Windows a player may never open are made when first shown.
        QVERIFY(!p.help && !p.about && !p.download && !p.snapshot && !p.phrases);
        ui(p.chat).contentsAction->trigger();
        QVERIFY(p.help->isVisible());
        QCOMPARE(ui(p.chat).contentsAction->shortcut(), QKeySequence(Qt::Key_F1));
        ui(p.chat).aboutAction->trigger();
        QVERIFY(p.about->isVisible());
        QCOMPARE(p.about->windowTitle(), u"Quillet - About"_qs);
        // Its picture is made when it first shows.
        QVERIFY(!p.about->findChild<QLabel *>(u"aboutPicture"_qs)->pixmap().isNull());
    }

    // The window icon is read from its files when a size is asked for: the file of that size, else
    // the next larger one scaled down.
    void windowIconFromItsFiles()
    {
        const QIcon icon = resourceIcon(u":/icons/quillet-%1.png"_qs, {128, 48, 256});
        QCOMPARE(icon.availableSizes(), QList<QSize>({QSize(48, 48), QSize(128, 128), QSize(256, 256)}));
        QCOMPARE(icon.pixmap(48).toImage(),
                 QImage(u":/icons/quillet-48.png"_qs).convertToFormat(icon.pixmap(48).toImage().format()));
        const QImage scaled = icon.pixmap(64).toImage();
        QCOMPARE(scaled.size(), QSize(64, 64));
        QVERIFY(scaled.pixelColor(32, 32).alpha() > 0);
        QCOMPARE(icon.pixmap(512).size(), QSize(256, 256));
    }

    // The pages of the compiled-in files handed back after start-up are read again, unchanged.
    void compiledInFilesAfterTheirPagesGoBack()
    {
        const QByteArray list = assets::load(u"phrases/general.txt"_qs);
        const QImage picture(u":/pictures/winner1.png"_qs);
        QVERIFY(!list.isEmpty() && !picture.isNull());
        QVERIFY(assets::releaseResident() > 0);
        QCOMPARE(assets::load(u"phrases/general.txt"_qs), list);
        QCOMPARE(QImage(u":/pictures/winner1.png"_qs), picture);
    }

    void soloRoleHostsAndConnects()
    {
        Program p({});
        p.chat->processparams();
        QVERIFY(p.chat->game()->startup().solo);
        QVERIFY(p.server->game().solo());
        QVERIFY(p.chat->game()->hostsay());
        QCOMPARE(p.chat->game()->startup().name, u"You"_qs);
        QCOMPARE(p.chat->game()->startup().address, u"127.0.0.1"_qs);
        QVERIFY(p.server->listener.Listen());
        QVERIFY(ui(p.chat).startGameAction->isEnabled());
        QVERIFY(p.spylist->popup_kickhim->isEnabled());
        QTRY_VERIFY(p.chat->link()->sock.Connected());
        QVERIFY(!p.chat->link()->lobbyLink.HasHandle()); // no lobby link in a solo game
        QVERIFY(boxes.isEmpty());
    }

    void hostRoleIgnoresAddressAndOpensLink()
    {
        QTcpServer lobby;
        QVERIFY(lobby.listen(QHostAddress::LocalHost));
        qputenv("QUILLET_LOBBY_PORT", QByteArray::number(lobby.serverPort()));
        Program p({u"Ann"_qs, u"10.0.0.5"_qs, u"true"_qs});
        p.chat->processparams();
        QVERIFY(p.chat->game()->hostsay());
        QVERIFY(!p.chat->game()->startup().solo);
        QCOMPARE(p.chat->game()->startup().name, u"Ann"_qs);
        QCOMPARE(p.chat->game()->startup().address, u"10.0.0.5"_qs);
        QCOMPARE(p.chat->game()->startup().loginname, u"Ann"_qs);
        QCOMPARE(p.chat->link()->sock.HostName, u"127.0.0.1"_qs);
        QTRY_VERIFY(lobby.hasPendingConnections());
    }

    void lobbyLinkThatCannotOpenChangesNothing()
    {
        qputenv("QUILLET_LOBBY_PORT", "no-such-service");
        Program p({u"Ann"_qs, u"127.0.0.1"_qs, u"true"_qs});
        guard([&] { p.chat->processparams(); });
        QVERIFY(boxes.isEmpty());
        QVERIFY(p.chat->game()->hostsay());
        QTRY_VERIFY(p.chat->link()->sock.Connected());
        QVERIFY(!p.chat->link()->lobbyLink.HasHandle());
    }

    // A taken port: the rest of the start is skipped, and rather than loading for ever the window
    // says why in its title and the chat pane and offers to join the game that may hold the port.
    void takenPortSkipsTheRestOfTheStart()
    {
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::Any));
        const QString port = QString::number(taken.serverPort());
        qputenv("QUILLET_GAME_PORT", port.toUtf8());
        for (const QStringList &params :
             {QStringList{u"Ann"_qs, u"127.0.0.1"_qs, u"true"_qs}, QStringList{}}) {
            boxes.clear();
            Program p(params);
            logof(p.chat);
            guard([&] { p.chat->processparams(); });
            QCOMPARE(boxes, QStringList{u"Listen - Error Binding Socket."_qs});
            QVERIFY(!p.chat->game()->hostsay());
            QVERIFY(p.chat->game()->startup().loginname.isEmpty());
            QVERIFY(!ui(p.chat).startGameAction->isEnabled());
            QVERIFY(!p.chat->link()->sock.HasHandle());
            QVERIFY(!p.chat->link()->lobbyLink.HasHandle());
            QTRY_COMPARE(p.chat->windowTitle(), Tchat::title + u" - Port "_qs + port + u" is taken"_qs);
            const auto &said = logof(p.chat).lines;
            QVERIFY(said.last().first.contains(u"holds port "_qs + port));
            QVERIFY(said.last().first.contains(u"File / Join a Game..."_qs));
            p.chat->show();
            ChatViewer *viewer = ui(p.chat).chatpane->mainchat;
            viewer->scrollToEnd();
            const QPoint at = viewer->itemRect(viewer->paragraphCount() - 1, 1).center();
            QCOMPARE(viewer->linkAt(at), u"quillet://127.0.0.1:"_qs + port);
            QTest::mouseClick(viewer->viewport(), Qt::LeftButton, {}, at);
            QVERIFY(p.hostjoin->joinDialog && p.hostjoin->joinDialog->isVisible());
            QCOMPARE(p.hostjoin->joinDialog->address(), u"127.0.0.1:"_qs + port);
        }
    }

    void unknownHostShowsLookupError()
    {
        Program p({u"Zed"_qs, u"no-such-host.invalid"_qs, u"x"_qs});
        guard([&] { p.chat->processparams(); });
        QCOMPARE(boxes, QStringList{u"Host Lookup - Could Not Find Host Entry."_qs});
        QVERIFY(!p.chat->link()->lobbyLink.HasHandle());
    }

    void secondCopyRestoresTheFirstWindow()
    {
        qputenv("QUILLET_INSTANCE", "tst-startup-" + QByteArray::number(QCoreApplication::applicationPid()));
        SingleInstance first;
        QVERIFY(!first.anotherCopyRuns(u"kipmol"_qs));
        QWidget window;
        window.showMinimized();
        first.setWindow(&window);
        QVERIFY(window.isMinimized());
        SingleInstance second;
        QVERIFY(second.anotherCopyRuns(u"kipmol"_qs));
        QTRY_VERIFY(!window.isMinimized());
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
