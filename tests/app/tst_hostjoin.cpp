// Hosting and joining from the window: the dialogs, the hand-over to the next copy (the real
// executable), the games heard on loopback, and why a join failed.
#include "app/hostjoin.h"
#include "app/program.h"
#include "app/rolechange.h"
#include "app/serverhost.h"
#include "app/singleinstance.h"
#include "client/tchat.h"
#include "features/ini.h"
#include "host/tserver.h"
#include "platform/errors.h"
#include "tests/support/netsupport.h"
#include "tests/support/tchatui.h"
#include "tests/support/textsupport.h"
#include "windows/hostgamedialog.h"
#include "windows/joingamedialog.h"
#include "windows/tgamestartform.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalSocket>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <csignal>
#include <functional>

namespace {
// A raw player: logs in under a name and collects the host's messages.
struct RawPlayer
{
    QTcpSocket sock;
    QByteArray pending;
    QStringList messages;

    void poll()
    {
        pending += sock.readAll();
        qsizetype at;
        while ((at = pending.indexOf('\xFF')) >= 0) {
            messages << QString::fromLatin1(pending.left(at));
            pending.remove(0, at + 1);
        }
    }
    bool waitUntil(const std::function<bool(const QString &)> &match, int ms = 10000)
    {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            poll();
            for (const QString &m : std::as_const(messages))
                if (match(m))
                    return true;
            QTest::qWait(20);
        }
        return false;
    }
    bool waitFor(const QString &start)
    {
        return waitUntil([&](const QString &m) { return m.startsWith(start); });
    }
    // The host has told of a player of this name, whoever logged in first.
    bool waitForPlayer(const QString &name)
    {
        const QRegularExpression told(u"^CMD_(existingplayers|newplayerinfo)\\+\\d+\\+"_qs +
                                      QRegularExpression::escape(name) + u"$"_qs);
        return waitUntil([&](const QString &m) { return told.match(m).hasMatch(); });
    }
    bool logIn(quint16 port, const QByteArray &name)
    {
        for (int tries = 0; tries < 100 && sock.state() != QAbstractSocket::ConnectedState; ++tries) {
            sock.abort();
            sock.connectToHost(QHostAddress::LocalHost, port);
            if (!sock.waitForConnected(1000))
                QTest::qWait(100);
        }
        if (!waitFor(u"CMD_sendlogininfo+"_qs))
            return false;
        const QString number = messages.last().section(u'+', 1);
        sock.write("CMD_logininfo+" + number.toLatin1() + "+2.2.8+" + name + '\xFF');
        return sock.flush() || true;
    }
};

quint16 freeUdpPort()
{
    QUdpSocket s;
    s.bind(QHostAddress::LocalHost, 0);
    return s.localPort();
}

bool alive(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

// The copy that took over; ended with the test, passed or not.
struct NextCopy
{
    qint64 pid = 0;
    ~NextCopy()
    {
        if (!alive(pid))
            return;
        ::kill(pid_t(pid), SIGTERM);
        QDeadlineTimer deadline(10000);
        while (alive(pid) && !deadline.hasExpired())
            QTest::qWait(50);
        if (alive(pid))
            ::kill(pid_t(pid), SIGKILL);
    }
};

QStringList lines(const Tchat &t)
{
    QStringList out;
    for (const auto &l : logof(t).lines)
        out << l.first;
    return out;
}
} // namespace

class TestHostJoin : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    QStringList boxes;

    QString binary() const { return qEnvironmentVariable("QUILLET_BINARY"); }

private slots:
    void initTestCase()
    {
        errorbox::setHook([this](const QString &t) { boxes << t; });
        qputenv("QUILLET_HOME", home.path().toUtf8());
        qputenv("QUILLET_ANNOUNCE_ADDRESS", "127.0.0.1");
        qputenv("QUILLET_INSTANCE", "tst-hostjoin-" + QByteArray::number(QCoreApplication::applicationPid()));
    }
    void init()
    {
        boxes.clear();
        qputenv("QUILLET_GAME_PORT", QByteArray::number(freePort()));
        qputenv("QUILLET_LOBBY_PORT", QByteArray::number(freePort()));
        qputenv("QUILLET_ANNOUNCE_PORT", QByteArray::number(freeUdpPort()));
        QFile::remove(home.filePath(u"orvanelobby.ini"_qs));
    }

    // A copy hosting a game with a player in it hosts again under another name: the next copy takes
    // the same port and the single-instance name, and announces the new game.
    void hostingAgainHandsOverPortAndInstance()
    {
        const quint16 port = quint16(qEnvironmentVariableIntValue("QUILLET_GAME_PORT"));
        SingleInstance single;
        QVERIFY(!single.anotherCopyRuns(u"kipmol"_qs));
        NextCopy next;
        {
            Program p({u"Ann"_qs, u"127.0.0.1"_qs, u"true"_qs});
            p.chat->processparams();
            QVERIFY(p.localhost->announcing());
            RawPlayer raw;
            QVERIFY(raw.logIn(port, "Raw"));
            QVERIFY(raw.waitForPlayer(u"Ann"_qs));

            ui(p.chat).hostGameAction->trigger();
            HostGameDialog *d = p.hostjoin->hostDialog;
            QVERIFY(d && d->isVisible());
            QCOMPARE(d->name(), u"Ann"_qs); // the current name is offered
            for (const QString &badName :
                 QStringList{u"Bo+b"_qs, u"Bo"_qs + QChar(0xFF), u"   "_qs, u"<Waiting>"_qs}) {
                d->nameEdit->setText(badName);
                QVERIFY2(!d->hostButton->isEnabled(), qPrintable(badName));
            }
            d->nameEdit->setText(QString(200, u'B'));
            QCOMPARE(d->name().size(), playername::maxLength);
            d->nameEdit->setText(u"Bob"_qs);
            QVERIFY(d->problem->text().isEmpty());
            d->hostButton->click();
            QCOMPARE(p.hostjoin->nextRole, (QStringList{u"Bob"_qs, u"127.0.0.1"_qs, u"true"_qs}));
            QVERIFY(!p.chat->isVisible());
            next.pid = handOver(p, single, binary());
            QVERIFY(next.pid > 0);
            // The old host is gone: its player's connection closed.
            QTRY_COMPARE(raw.sock.state(), QAbstractSocket::UnconnectedState);
        }
        QCOMPARE(ini::readString(home.filePath(u"orvanelobby.ini"_qs), u"Quillet"_qs, HostJoin::nameKey),
                 u"Bob"_qs);

        GameListener heard;
        QVERIFY(heard.start());
        RawPlayer raw;
        QVERIFY(raw.logIn(port, "Raw"));
        QVERIFY(raw.waitForPlayer(u"Bob"_qs));
        QTRY_VERIFY_WITH_TIMEOUT(!heard.list().games().isEmpty(), 5000);
        QCOMPARE(heard.list().games().first().game.name, u"Bob"_qs);
        QTRY_COMPARE_WITH_TIMEOUT(heard.list().games().first().game.seated, 2, 5000);
        // The next copy holds the single-instance name: a later copy would find it.
        QLocalSocket probe;
        probe.connectToServer(SingleInstance::privateFolder() + u"/"_qs +
                              SingleInstance::scopedName(u"kipmol"_qs));
        QVERIFY(probe.waitForConnected(2000));
        probe.abort();
    }

    // A real hosting copy is heard in the join dialog of a solo copy, which joins it through the
    // dialog; the joining copy remembers the address.
    void joinsAGameHeardOnTheNetwork()
    {
        const quint16 port = quint16(qEnvironmentVariableIntValue("QUILLET_GAME_PORT"));
        QProcess host;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QUILLET_INSTANCE"_qs,
                   u"tst-hostjoin-host-"_qs + QString::number(QCoreApplication::applicationPid()));
        host.setProcessEnvironment(env);
        host.start(binary(), {u"Ann"_qs, u"127.0.0.1"_qs, u"true"_qs});
        QVERIFY(host.waitForStarted(5000));

        // The joining copy plays solo on a port of its own meanwhile.
        qputenv("QUILLET_GAME_PORT", QByteArray::number(freePort()));
        SingleInstance single;
        QVERIFY(!single.anotherCopyRuns(u"kipmol"_qs));
        NextCopy next;
        {
            Program p({});
            p.chat->processparams();
            QVERIFY(!p.localhost->announcing()); // a solo game is nobody else's business
            ui(p.chat).joinGameAction->trigger();
            JoinGameDialog *d = p.hostjoin->joinDialog;
            QVERIFY(d && d->isVisible());
            QVERIFY(d->nameEdit->text().isEmpty()); // "You" is nobody's name
            QVERIFY(!d->joinButton->isEnabled());
            // The first word goes out before the host's own player is in; the next one counts it.
            const QString listed = u"Ann's game at 127.0.0.1:%1 - 1 player, waiting to start"_qs.arg(port);
            // A sanitized hosting copy on a busy machine can take half a minute to start.
            QTRY_VERIFY_WITH_TIMEOUT(d->gamesList->count() == 1 && d->gamesList->item(0)->text() == listed,
                                     45000);
            d->nameEdit->setText(u"Zed"_qs);
            d->addressEdit->setText(u"127.0.0.1:99999"_qs);
            QVERIFY(!d->joinButton->isEnabled());
            QVERIFY(d->problem->text().contains(u"not a port"_qs));
            QTest::mouseClick(d->gamesList->viewport(), Qt::LeftButton, {},
                              d->gamesList->visualItemRect(d->gamesList->item(0)).center());
            QCOMPARE(d->address(), u"127.0.0.1:%1"_qs.arg(port));
            d->joinButton->click();
            QCOMPARE(p.hostjoin->nextRole,
                     (QStringList{u"Zed"_qs, u"127.0.0.1:%1"_qs.arg(port), u"join"_qs}));
            next.pid = handOver(p, single, binary());
            QVERIFY(next.pid > 0);
        }
        QCOMPARE(ini::readString(home.filePath(u"orvanelobby.ini"_qs), u"Quillet"_qs, HostJoin::addressKey),
                 u"127.0.0.1:%1"_qs.arg(port));
        RawPlayer raw;
        QVERIFY(raw.logIn(port, "Raw"));
        QVERIFY(raw.waitForPlayer(u"Zed"_qs));
        host.terminate();
        QVERIFY(host.waitForFinished(10000));
    }

    // A flood of announcements (bursts of 70 and a steady stream, as a busy or hostile network
    // sends) never leaves the dialog deaf: a real game announced afterwards shows up. Picking a
    // game in the list, by mouse or keys, puts its address in the field; typing another one
    // leaves the list.
    void joinDialogHearsARealGameAfterAFlood()
    {
        const quint16 port = quint16(qEnvironmentVariableIntValue("QUILLET_ANNOUNCE_PORT"));
        JoinGameDialog d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QUdpSocket flood;
        QList<QByteArray> noise;
        for (int n = 1; n <= 4; ++n)
            noise << announce::encode({u"Flood%1"_qs.arg(n), quint16(n), 1, 0, false}, "QUILLET-GAME/1");
        noise << "QUILLET-GAME/1\nbroken" << QByteArray(300, 'x');
        QElapsedTimer spell;
        spell.start();
        for (int burst = 0; spell.elapsed() < 3000; ++burst) {
            for (int i = 0; i < 70; ++i)
                flood.writeDatagram(noise[i % noise.size()], QHostAddress::LocalHost, port);
            QTest::qWait(burst % 3 ? 1 : 40);
        }
        QTRY_VERIFY_WITH_TIMEOUT(d.gamesList->count() == 4, 5000);

        GameAnnouncer real(u"Ann"_qs, 7800, [](announce::Announcement &a) { a.seated = 2; });
        real.start();
        const QString listed = u"Ann's game at 127.0.0.1:7800 - 2 players, waiting to start"_qs;
        QTRY_VERIFY_WITH_TIMEOUT(!d.gamesList->findItems(listed, Qt::MatchExactly).isEmpty(), 5000);

        d.addressEdit->setText(u"dead.example:7772"_qs);
        d.gamesList->setCurrentItem(d.gamesList->findItems(listed, Qt::MatchExactly).first());
        QCOMPARE(d.address(), u"127.0.0.1:7800"_qs);
        QTest::keyClicks(d.addressEdit, u"1"_qs);
        QCOMPARE(d.gamesList->currentItem(), nullptr);
        real.announceNow(); // the list is made anew; the typed address stays
        QTest::qWait(200);
        QCOMPARE(d.address(), u"127.0.0.1:78001"_qs);
    }

    // The host dialog's phrases: a file that cannot be used is refused there with its line, the
    // choice is kept, and the next hosting copy plays the file's phrases. The start form's letter
    // hints are kept too.
    void ownPhrasesAndHints()
    {
        const QString bad = home.filePath(u"bad phrases.txt"_qs);
        const QString good = home.filePath(u"phrases.txt"_qs);
        QVERIFY(writefile(bad, "hot dog\n[Films]\nstar wars\n"));
        QVERIFY(writefile(good, "hot dog\n[Movies]\nstar wars\n"));
        const QString ini = home.filePath(u"orvanelobby.ini"_qs);
        const auto said = [](const Tchat &t, const QString &text) {
            return !lines(t).filter(text).isEmpty();
        };
        {
            Program p({u"Ann"_qs, u"127.0.0.1"_qs, u"true"_qs});
            QVERIFY(!p.gamestartform->hints->isChecked());
            p.gamestartform->hints->click();
            QCOMPARE(ini::readString(ini, u"Quillet"_qs, u"LetterHints"_qs), u"1"_qs);

            ui(p.chat).hostGameAction->trigger();
            HostGameDialog *d = p.hostjoin->hostDialog;
            d->nameEdit->setText(u"Bob"_qs);
            QVERIFY(d->builtinPhrases->isChecked() && d->hostButton->isEnabled());
            d->ownPhrases->click();
            QVERIFY(!d->hostButton->isEnabled());
            QTest::keyClicks(d->phrasePath, bad);
            QVERIFY(!d->hostButton->isEnabled());
            QVERIFY2(d->phraseProblem->text().startsWith(u"line 2: [Films] is no category"_qs),
                     qPrintable(d->phraseProblem->text()));
            d->builtinPhrases->click();
            QVERIFY(d->hostButton->isEnabled() && d->phraseProblem->isHidden());
            d->phrasePath->clear();
            QTest::keyClicks(d->phrasePath, good);
            QVERIFY(d->ownPhrases->isChecked() && d->hostButton->isEnabled());
            QCOMPARE(d->phraseFile(), good);
            d->accept();
            QCOMPARE(ini::readString(ini, u"Quillet"_qs, u"PhraseFile"_qs), good);
        }
        {
            Program p({u"Ann"_qs, u"127.0.0.1"_qs, u"true"_qs});
            QVERIFY(p.gamestartform->hints->isChecked());
            QCOMPARE(p.server->game().phrasesleft(4), QStringList{u"star wars"_qs});
            logof(p.chat);
            p.chat->processparams();
            const QString told = u"This game's phrases come from "_qs + good + u"."_qs;
            QTRY_VERIFY2_WITH_TIMEOUT(said(*p.chat, told), qPrintable(lines(*p.chat).join(u'|')), 5000);
            // The dialog opens with the choice made last time.
            ui(p.chat).hostGameAction->trigger();
            QCOMPARE(p.hostjoin->hostDialog->phraseFile(), good);
            p.hostjoin->hostDialog->reject();
        }
        // A file spoilt since: the built-in lists, and the chat pane says why.
        QVERIFY(writefile(good, "hot dog\n[Movies]\nstar wars\n[TV Shows]\n"));
        Program p({u"Ann"_qs, u"127.0.0.1"_qs, u"true"_qs});
        QCOMPARE(p.server->game().phrasesleft(4).size(), 994);
        logof(p.chat);
        p.chat->processparams();
        const QString why = u"Your phrase file cannot be used (line 4: [TV Shows] has no phrases); this game "
                            u"plays the built-in lists."_qs;
        QTRY_VERIFY2_WITH_TIMEOUT(said(*p.chat, why), qPrintable(lines(*p.chat).join(u'|')), 5000);
    }

    // "Play with Others" offers both ways in; each opens its dialog, and Cancel changes nothing.
    void offerLeadsToEitherDialog()
    {
        Program p({});
        p.hostjoin->offerHostOrJoin();
        auto *box = p.chat->findChild<QMessageBox *>();
        QVERIFY(box && box->isVisible());
        QPushButton *join = nullptr;
        for (QAbstractButton *b : box->buttons())
            if (b->text() == u"Join a Game..."_qs)
                join = qobject_cast<QPushButton *>(b);
        QVERIFY(join);
        join->click();
        QVERIFY(p.hostjoin->joinDialog && p.hostjoin->joinDialog->isVisible());
        p.hostjoin->joinDialog->reject();
        QVERIFY(p.hostjoin->nextRole.isEmpty());
    }

    // A join that fails says why in the chat pane, and the window stays for another try.
    void failedJoinsSayWhy()
    {
        const auto joined = [](const QString &address, const QString &name = u"Zed"_qs) {
            auto t = std::make_unique<Tchat>();
            logof(t);
            t->setparams(QStringList{name, address, u"x"_qs});
            guard([&] { t->processparams(); });
            return t;
        };
        QTcpServer nobody;
        QVERIFY(nobody.listen(QHostAddress::LocalHost));
        const quint16 closedPort = nobody.serverPort();
        nobody.close();
        {
            auto t = joined(u"127.0.0.1:%1"_qs.arg(closedPort));
            QSignalSpy closed(t.get(), &Tchat::closed);
            QTRY_COMPARE(lines(*t).size(), 2);
            QVERIFY2(
                lines(*t)[1].startsWith(u"0+Nobody is hosting a game at 127.0.0.1:%1."_qs.arg(closedPort)),
                qPrintable(lines(*t)[1]));
            QCOMPARE(closed.count(), 0);
        }
        {
            auto t = joined(u"127.0.0.1:99999"_qs);
            QCOMPARE(lines(*t).size(), 2);
            QVERIFY(lines(*t)[1].contains(u"\"99999\" is not a port"_qs));
            QVERIFY(!t->link()->sock.HasHandle());
        }
        {
            auto t = joined(u"no-such-host.invalid"_qs);
            QCOMPARE(boxes, QStringList{u"Host Lookup - Could Not Find Host Entry."_qs});
            QVERIFY(lines(*t)[1].startsWith(u"0+Could not find the host \"no-such-host.invalid\"."_qs));
        }
        {
            // A host that takes the connection and hangs up before letting the player in.
            QTcpServer gone;
            QVERIFY(gone.listen(QHostAddress::LocalHost));
            auto t = joined(u"127.0.0.1:%1"_qs.arg(gone.serverPort()));
            QSignalSpy closed(t.get(), &Tchat::closed);
            QTRY_VERIFY(gone.hasPendingConnections());
            delete gone.nextPendingConnection();
            QTRY_COMPARE(lines(*t).size(), 2);
            QVERIFY(lines(*t)[1].startsWith(u"0+The host closed the connection before you could join."_qs));
            QCOMPARE(closed.count(), 0);
        }
        {
            // A name that every copy would show as an empty seat never reaches the host.
            QTcpServer host;
            QVERIFY(host.listen(QHostAddress::LocalHost));
            auto t = joined(u"127.0.0.1:%1"_qs.arg(host.serverPort()), u" <waiting> "_qs);
            QCOMPARE(lines(*t).size(), 2);
            QVERIFY2(lines(*t)[1].contains(u"<Waiting> marks an empty seat"_qs), qPrintable(lines(*t)[1]));
            QVERIFY(!host.waitForNewConnection(300));
        }
    }
};

QTEST_MAIN(TestHostJoin)
#include "tst_hostjoin.moc"
