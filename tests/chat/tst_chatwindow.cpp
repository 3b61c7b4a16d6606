// The main window's chat side: received lines, sending over a real connection, chatter sounds.
#include "client/chatpane.h"
#include "client/tchat.h"
#include "features/sound.h"
#include "platform/errors.h"
#include "protocol/colortext.h"
#include "protocol/commands.h"
#include "tests/support/tchatui.h"
#include "widgets/chatviewer.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A raw peer on a free loopback port that the window's socket connects to.
struct Peer
{
    QTcpServer server;
    QTcpSocket *conn = nullptr;
    QByteArray bytes;

    bool connect(Tchat &w)
    {
        if (!server.listen(QHostAddress::LocalHost, 0))
            return false;
        w.link()->sock.HostName = QStringLiteral("127.0.0.1");
        w.link()->sock.PortName = QString::number(server.serverPort());
        w.link()->sock.Open();
        if (!QTest::qWaitFor([&] { return server.hasPendingConnections() && w.link()->sock.Connected(); },
                             5000))
            return false;
        conn = server.nextPendingConnection();
        return conn != nullptr;
    }

    // Every message received until one equal to `last` (which is not returned).
    QStringList messagesUntil(const QString &last)
    {
        QStringList out;
        (void)QTest::qWaitFor(
            [&] {
                bytes += conn->readAll();
                out.clear();
                const QList<QByteArray> parts = bytes.split(char(0xFF));
                for (qsizetype i = 0; i + 1 < parts.size(); ++i)
                    out << QString::fromLatin1(parts[i]);
                return out.contains(last);
            },
            5000);
        out.removeAll(last);
        return out;
    }
};

QString lastLine(const Tchat &w)
{
    const ChatViewer *v = ui(w).chatpane->mainchat;
    return v->paragraphText(v->paragraphCount() - 1);
}

} // namespace

class TestChatWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    QStringList boxes;

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        qputenv("QUILLET_HOME", home.path().toLocal8Bit());
        errorbox::setHook([this](const QString &t) { boxes << t; });
    }

    void init() { boxes.clear(); }

    void receivedColours_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("colour");
        QTest::newRow("named") << QStringLiteral("1+Ann chats: hi|clRed") << QStringLiteral("Ann chats:  hi ")
                               << colortext::clRed;
        QTest::newRow("dollar form") << QStringLiteral("1+Ann chats: hi|$00123456")
                                     << QStringLiteral("Ann chats:  hi ") << 0x123456;
        QTest::newRow("names without case")
            << QStringLiteral("1+x|CLNAVY") << QStringLiteral(" x ") << colortext::clNavy;
        QTest::newRow("absent") << QStringLiteral("1+Ann chats: hi") << QStringLiteral("Ann chats:  hi ")
                                << colortext::clWhite;
        QTest::newRow("unreadable") << QStringLiteral("1+x|bright pink") << QStringLiteral(" x ")
                                    << colortext::clWhite;
        QTest::newRow("colour after the last bar")
            << QStringLiteral("1+a|b | c|clRed") << QStringLiteral(" a|b | c ") << colortext::clRed;
    }

    void receivedColours()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(int, colour);
        Tchat w;
        w.game()->handle(cmd::chat + QLatin1Char('+') + text);
        QCOMPARE(lastLine(w), shown);
        QCOMPARE(ui(w).chatpane->mainchat->style(6).color, colortext::toQColor(colour));
    }

    void dispatchedThroughTheQueue()
    {
        Tchat w;
        w.link()->receivedlist.push({QStringLiteral("CMD_chat+2+Bo chats: yo|clBlue"), 0, 0});
        w.link()->receivedlist.push({QStringLiteral("CMD_action+2+Bo waves :)#10|clBlue"), 0, 0});
        w.link()->receivedlist.push({QStringLiteral("CMD_playasound+2+wave3+"), 0, 0});
        const int played = sound::requestCount();
        w.link()->processsocktimer();
        QCOMPARE(lastLine(w), QStringLiteral("Bo chats:  yo "));
        w.link()->processsocktimer();
        QCOMPARE(lastLine(w), QStringLiteral(" Bo waves  "));
        QCOMPARE(ui(w).chatpane->mainchat->items(1).at(4).image, 0);
        w.link()->processsocktimer();
        QCOMPARE(sound::requestCount(), played + 1);
        QCOMPARE(sound::lastRequested(), QStringLiteral("wave3"));
        QVERIFY(boxes.isEmpty());
    }

    void sendRules()
    {
        Tchat w;
        Peer peer;
        QVERIFY(peer.connect(w));
        ChatEntry *box = ui(w).chatpane->mychat;
        auto send = [&](const QString &text) {
            box->setText(text);
            QTest::keyClick(box, Qt::Key_Return);
        };

        // Not logged in: nothing goes out and the text stays.
        send(QStringLiteral("early"));
        QCOMPARE(box->text(), QStringLiteral("early"));

        w.game()->handle(QStringLiteral("CMD_sendlogininfo+4"));
        send(QStringLiteral("hello there"));
        QCOMPARE(box->text(), QString());
        send(QStringLiteral("/me waves"));
        send(QStringLiteral("/ME shouts"));
        QCOMPARE(box->text(), QString());
        send(QStringLiteral("/x"));
        QCOMPARE(box->text(), QString());
        send(QString());
        ui(w).chatpane->settextcolor(0x00123456);
        send(QStringLiteral("a\nb") + QChar(0xFF) + QStringLiteral("c"));

        // Enter in the box sends too, after the key has cleared the placeholder.
        box->setText(ChatPane::placeholder);
        QTest::keyClicks(box, QStringLiteral("typed"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->text(), QString());

        w.game()->send(QStringLiteral("END"));
        const QStringList got = peer.messagesUntil(QStringLiteral("END"));
        QCOMPARE(got, (QStringList{
                          cmd::buildLogininfo(4, cmd::versionText, QString()),
                          QStringLiteral("CMD_chat+4+hello there|clMaroon"),
                          QStringLiteral("CMD_action+4+waves|clMaroon"),
                          QStringLiteral("CMD_chat+4+a b?c|$00123456"),
                          QStringLiteral("CMD_chat+4+typed|$00123456"),
                      }));
    }

    void chatterSoundsSent()
    {
        Tchat w;
        Peer peer;
        QVERIFY(peer.connect(w));
        ui(w).chattersounds[5]->trigger(); // not logged in
        w.game()->handle(QStringLiteral("CMD_sendlogininfo+4"));
        ui(w).chattersounds[0]->trigger(); // <Cancel>
        ui(w).chattersounds[0]->trigger();
        ui(w).chattersounds[13]->trigger();
        w.game()->handle(QStringLiteral("CMD_sendlogininfo+12")); // a spy
        ui(w).chattersounds[7]->trigger();
        w.game()->handle(QStringLiteral("CMD_sendlogininfo+10"));
        ui(w).chattersounds[20]->trigger();
        w.game()->send(QStringLiteral("END"));
        QCOMPARE(peer.messagesUntil(QStringLiteral("END")),
                 (QStringList{cmd::buildLogininfo(4, cmd::versionText, QString()),
                              QStringLiteral("CMD_playasound+4+wave13+"),
                              cmd::buildLogininfo(12, cmd::versionText, QString()),
                              cmd::buildLogininfo(10, cmd::versionText, QString()),
                              QStringLiteral("CMD_playasound+10+wave20+")}));
    }

    void chatterMenu()
    {
        Tchat w;
        QCOMPARE(ui(w).chattersounds.size(), 21);
        QCOMPARE(ui(w).chattersounds[0]->text(), QStringLiteral("<Cancel>"));
        QCOMPARE(ui(w).chattersounds[0]->objectName(), QStringLiteral("cancelSoundAction"));
        QCOMPARE(ui(w).chattersounds[5]->text(), QStringLiteral("Where have you been?"));
        QCOMPARE(ui(w).chattersounds[20]->objectName(), QStringLiteral("wave20"));
        QCOMPARE(ui(w).chattersounds[20]->toolTip(), QStringLiteral("Crying"));
        for (int n = 1; n <= 20; ++n)
            QVERIFY2(!sound::clipPath(ui(w).chattersounds[n]->objectName()).isEmpty(),
                     qPrintable(QString::number(n)));
    }

    void chatterLineWhenSoundsAreOff()
    {
        Tchat w;
        w.game()->handle(QStringLiteral("CMD_refreshplayerlist+3+Ann"));
        ui(w).playChatterSoundsAction->trigger();
        QVERIFY(!ui(w).playChatterSoundsAction->isChecked());
        const int played = sound::requestCount();
        w.game()->handle(QStringLiteral("CMD_playasound+3+wave13+"));
        QCOMPARE(lastLine(w), QStringLiteral("Ann:  <Chatter Sound> Applause "));
        QCOMPARE(ui(w).chatpane->mainchat->style(0).color, QColor(0, 0, 255));
        const int lines = ui(w).chatpane->mainchat->paragraphCount();
        w.game()->handle(QStringLiteral("CMD_playasound+12+wave1+")); // no seat
        w.game()->handle(QStringLiteral("CMD_playasound+3+wave21+")); // no such entry
        w.game()->handle(QStringLiteral("CMD_playasound+x+wave1+"));  // no number
        w.game()->handle(QStringLiteral("CMD_playasound+3+WAVE7+"));  // entry names compare without case
        QCOMPARE(ui(w).chatpane->mainchat->paragraphCount(), lines + 1);
        QCOMPARE(lastLine(w), QStringLiteral("Ann:  <Chatter Sound> Sneezing "));
        QCOMPARE(sound::requestCount(), played);
        QVERIFY(boxes.isEmpty());

        // Chatter sounds on again: the clip plays and no line is added.
        ui(w).playChatterSoundsAction->trigger();
        QVERIFY(ui(w).playChatterSoundsAction->isChecked());
        w.game()->handle(QStringLiteral("CMD_playasound+3+wave13+"));
        QCOMPARE(ui(w).chatpane->mainchat->paragraphCount(), lines + 1);
        QCOMPARE(sound::lastRequested(), QStringLiteral("wave13"));
    }

    void switchesAreIndependent()
    {
        Tchat w;
        int played = sound::requestCount();
        emit w.game()->cue(QStringLiteral("entered"));
        QCOMPARE(sound::requestCount(), ++played);
        QCOMPARE(sound::lastRequested(), QStringLiteral("entered"));
        ui(w).playSoundsAction->trigger();
        QVERIFY(!ui(w).playSoundsAction->isChecked());
        emit w.game()->cue(QStringLiteral("turn"));
        QCOMPARE(sound::requestCount(), played);
        // Event cues off, chatter sounds still play.
        w.game()->handle(QStringLiteral("CMD_playasound+2+wave2+"));
        QCOMPARE(sound::requestCount(), ++played);
        QCOMPARE(sound::lastRequested(), QStringLiteral("wave2"));
    }

    void optionsMenuHoldsTheChatItems()
    {
        Tchat w;
        QStringList texts;
        for (QAction *m : w.menuBar()->actions()) {
            if (m->text().remove(QLatin1Char('&')) != QLatin1String("Options"))
                continue;
            for (QAction *a : m->menu()->actions())
                texts << a->text();
        }
        for (const char *item : {"Text Color", "Text Size", "Scroll Chat Off", "Clear Main Chat",
                                 "Play Sounds", "Play Chatter Sounds", "Reset Screen Location"})
            QVERIFY2(texts.contains(QLatin1String(item)), item);
        QCOMPARE(ui(w).chatpane->scrollChatOffAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    }
};

QTEST_MAIN(TestChatWindow)
#include "tst_chatwindow.moc"
