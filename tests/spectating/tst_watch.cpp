// Just watching, removal and the spy list: the requests a window sends, and their effect through
// a real host.
#include "client/chatpane.h"
#include "client/tchat.h"
#include "features/spylist.h"
#include "host/tserver.h"
#include "protocol/commands.h"
#include "tests/board/chatfixture.h"
#include "tests/client/tchat_feed.h"
#include "tests/support/netsupport.h"
#include "tests/support/playersetup.h"
#include "tests/support/tchatui.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Opens the spy list's menu on a line (or below the lines, for -1).
void menuOn(Tspylist &spies, int row)
{
    QListWidget *list = spies.listbox_spys;
    const QPoint below(5, list->viewport()->height() - 2);
    spies.popup_kickPopup(row < 0 ? below : list->visualItemRect(list->item(row)).center());
}

// The seat names' menu opened on a seat, as the right click does.
void nameMenuOn(Tchat &t, int seat)
{
    emit ui(t).label_playername[seat]->customContextMenuRequested(QPoint(2, 2));
    ui(t).popup_Kick->hide();
}

} // namespace

class TestWatch : public QObject
{
    Q_OBJECT
    QTemporaryDir home;

private slots:
    void initTestCase() { qputenv("QUILLET_HOME", home.path().toLocal8Bit()); }

    void nameMenuItems()
    {
        Tchat t;
        t.game()->handle(QStringLiteral("CMD_refreshplayerlist+3+Cid"));
        const auto items = [&t] {
            return QList<bool>{ui(t).removeFromGameAction->isEnabled(),
                               ui(t).setToJustWatchAction->isEnabled(),
                               ui(t).unsetJustWatchAction->isEnabled()};
        };
        unplug(t.game());
        play(t.game(), {"CMD_sendlogininfo+2"}); // seat 1 empty: this player leads the table
        nameMenuOn(t, 3);
        QCOMPARE(items(), (QList<bool>{true, true, true}));
        // An empty seat: nobody to remove, but watching can still be set.
        nameMenuOn(t, 4);
        QCOMPARE(items(), (QList<bool>{false, true, true}));
        play(t.game(), {"CMD_newplayerinfo+1+Ann"}); // and no longer does
        nameMenuOn(t, 3);
        QCOMPARE(items(), (QList<bool>{false, false, false}));
        // The hosting player's own seat has no menu at all.
        QCOMPARE(ui(t).label_playername[1]->contextMenuPolicy(), Qt::DefaultContextMenu);
        QCOMPARE(ui(t).label_playername[10]->contextMenuPolicy(), Qt::CustomContextMenu);
    }

    // The exact requests, read by a raw peer in the host's place. Requests that must send
    // nothing are made first; the next message read is then the next one that should go out.
    void requestsSent()
    {
        ChatAtHost at;
        QVERIFY(at.start(2));
        Tchat &t = *at.chat;
        Tspylist spies;
        t.attach({.spylist = &spies});
        ui(t).spyListAction->trigger();
        feed(t, QStringLiteral("CMD_newplayerinfo+12+Zed"));
        spies.listbox_spys->addItem(QStringLiteral("Ann: 13")); // a line that names nobody
        feed(t, QStringLiteral("CMD_newplayerinfo+14+Eve"));

        // Not the host: no removal, from the names or from the list, while seat 1 is taken.
        feed(t, QStringLiteral("CMD_newplayerinfo+1+Ann"));
        t.game()->handle(QStringLiteral("CMD_refreshplayerlist+6+Fay"));
        nameMenuOn(t, 6);
        ui(t).removeFromGameAction->trigger();
        menuOn(spies, 0);
        spies.popup_kickhimClick();
        ui(t).justWatchAction->trigger();
        QCOMPARE(at.host.next(), QStringLiteral("CMD_justwatch+2+1"));
        feed(t, QStringLiteral("CMD_justwatching+2+1"));
        QVERIFY(ui(t).justWatchAction->isChecked());
        ui(t).justWatchAction->trigger();
        QCOMPARE(at.host.next(), QStringLiteral("CMD_justwatch+2+2"));

        feed(t, QStringLiteral("CMD_playerdisconnected+1+Ann")); // this player leads the table now
        // A line without a number, the space below the lines, and a line gone while its menu
        // was open remove nobody.
        menuOn(spies, 1);
        spies.popup_kickhimClick();
        menuOn(spies, -1);
        spies.popup_kickhimClick();
        menuOn(spies, 2);
        feed(t, QStringLiteral("CMD_playerdisconnected+14+Eve"));
        spies.popup_kickhimClick();
        menuOn(spies, 0);
        spies.popup_kickhimClick();
        QCOMPARE(at.host.next(), QStringLiteral("CMD_kickhim+2+12+"));

        // Every seat 2 to 10 can be set and unset, not only the first few.
        nameMenuOn(t, 6);
        ui(t).setToJustWatchAction->trigger();
        ui(t).unsetJustWatchAction->trigger();
        ui(t).removeFromGameAction->trigger();
        QCOMPARE(at.host.next(), QStringLiteral("CMD_justwatch+6+1"));
        QCOMPARE(at.host.next(), QStringLiteral("CMD_justwatch+6+2"));
        QCOMPARE(at.host.next(), QStringLiteral("CMD_kickhim+2+6+"));

        // Not logged in, or a spy: nothing goes out.
        play(t.game(), {"CMD_sendlogininfo+12"});
        QVERIFY(at.host.next().startsWith(QStringLiteral("CMD_logininfo+12+")));
        ui(t).justWatchAction->trigger();
        play(t.game(), {"CMD_sendlogininfo+2", "CMD_playerdisconnected+2+Tester"}); // removed
        QVERIFY(at.host.next().startsWith(QStringLiteral("CMD_logininfo+2+")));
        ui(t).justWatchAction->trigger();
        ui(t).setToJustWatchAction->trigger();
        ui(t).removeFromGameAction->trigger();
        QVERIFY(at.host.drain().isEmpty());
        QVERIFY(at.boxes.isEmpty());
    }

    // The seat menu acts on the player it was opened on: if that player left, or somebody else
    // took the seat, while the menu was open, its items send nothing.
    void seatMenuKeepsItsPlayer()
    {
        ChatAtHost at;
        QVERIFY(at.start(1));
        Tchat &t = *at.chat;
        QVERIFY(t.game()->hostsay()); // number 1 leads the table
        at.host.send(QStringLiteral("CMD_newplayerinfo+2+Bob"));
        QTRY_COMPARE(ui(t).label_playername[2]->text(), QStringLiteral("Bob"));

        nameMenuOn(t, 2);
        at.host.send(QStringLiteral("CMD_playerdisconnected+2+Bob"));
        at.host.send(QStringLiteral("CMD_newplayerinfo+2+Cid"));
        QTRY_COMPARE(ui(t).label_playername[2]->text(), QStringLiteral("Cid"));
        ui(t).removeFromGameAction->trigger();
        ui(t).setToJustWatchAction->trigger();
        ui(t).unsetJustWatchAction->trigger();
        QVERIFY(at.host.drain().isEmpty());

        // Gone without a newcomer: the same.
        nameMenuOn(t, 2);
        at.host.send(QStringLiteral("CMD_playerdisconnected+2+Cid"));
        QTRY_COMPARE(ui(t).label_playername[2]->text(), QStringLiteral("<Waiting>"));
        ui(t).setToJustWatchAction->trigger();
        QVERIFY(at.host.drain().isEmpty());

        // A menu opened on the newcomer acts on the newcomer; other seats' changes don't matter.
        at.host.send(QStringLiteral("CMD_newplayerinfo+2+Dee"));
        QTRY_COMPARE(ui(t).label_playername[2]->text(), QStringLiteral("Dee"));
        nameMenuOn(t, 2);
        at.host.send(QStringLiteral("CMD_newplayerinfo+3+Eve"));
        QTRY_COMPARE(ui(t).label_playername[3]->text(), QStringLiteral("Eve"));
        ui(t).setToJustWatchAction->trigger();
        ui(t).removeFromGameAction->trigger();
        QCOMPARE(at.host.next(), QStringLiteral("CMD_justwatch+2+1"));
        QCOMPARE(at.host.next(), QStringLiteral("CMD_kickhim+1+2+"));
        QVERIFY(at.boxes.isEmpty());
    }

    // The hosting player, two seated players and a spy on a real host.
    void throughTheHost()
    {
        errorbox::setHook([](const QString &text) { QFAIL(qPrintable(text)); });
        TServer host;
        host.listener.PortName = QString::number(freePort());
        host.listener.setListen(true);
        Tspylist spies;
        const auto join = [&host](const QString &name) {
            auto t = std::make_unique<Tchat>();
            t->game()->setloginname(name);
            t->link()->sock.HostName = QStringLiteral("127.0.0.1");
            t->link()->sock.PortName = host.listener.PortName;
            t->link()->sock.Open();
            return t;
        };
        auto ann = join(QStringLiteral("Ann"));
        QTRY_COMPARE(ann->game()->mynumber(), 1);
        QVERIFY(ann->game()->hostsay());
        ann->attach({.spylist = &spies});
        auto bob = join(QStringLiteral("Bob"));
        QTRY_COMPARE(bob->game()->mynumber(), 2);
        auto cid = join(QStringLiteral("Cid"));
        QTRY_COMPARE(ui(ann).label_playername[3]->text(), QStringLiteral("Cid"));

        // The hosting player sets Cid to watch and back; Cid's tick follows the host.
        nameMenuOn(*ann, 3);
        ui(ann).setToJustWatchAction->trigger();
        QTRY_VERIFY(ui(cid).justWatchAction->isChecked());
        QTRY_VERIFY(!ui(bob).image_eyes[3]->isHidden());
        ui(ann).unsetJustWatchAction->trigger();
        QTRY_VERIFY(!ui(cid).justWatchAction->isChecked());

        // Every other seat taken: the next comer spies, is listed, and is removed from the list.
        for (int slot = 4; slot <= 10; ++slot)
            host.game().join(slot, 1'000'000 + slot);
        auto zed = join(QStringLiteral("Zed"));
        QSignalSpy zedClosed(zed.get(), &Tchat::closed);
        const QString removed = Tchat::title + QStringLiteral(" - You were removed from the game");
        QTRY_COMPARE(spies.listbox_spys->count(), 1);
        QCOMPARE(spies.listbox_spys->item(0)->text(), QStringLiteral("11: Zed"));
        ui(ann).spyListAction->trigger();
        spies.popup_kickhim->setEnabled(true);
        menuOn(spies, 0);
        spies.popup_kickhim->trigger();
        // The removed player's window stays and says why.
        QTRY_COMPARE(zed->windowTitle(), removed);
        QTRY_COMPARE(spies.listbox_spys->count(), 0);
        QCOMPARE(zedClosed.count(), 0);

        // And Bob is removed through his name.
        QSignalSpy bobClosed(bob.get(), &Tchat::closed);
        nameMenuOn(*ann, 2);
        ui(ann).removeFromGameAction->trigger();
        QTRY_COMPARE(bob->windowTitle(), removed);
        QVERIFY(!ui(bob).chatpane->mychat->isEnabled());
        QTRY_COMPARE(ui(ann).label_playername[2]->text(), QStringLiteral("<Waiting>"));
        QCOMPARE(bobClosed.count(), 0);
        errorbox::setHook({});
    }
};

QTEST_MAIN(TestWatch)
#include "tst_watch.moc"
