// Hostile input never crashes a side, and both sides keep serving afterwards.
#include "app/program.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "platform/errors.h"
#include "protocol/commands.h"
#include "tests/support/netsupport.h"
#include "tests/support/playersetup.h"
#include "tests/support/tchatui.h"

#include <QLabel>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QtTest>

class TestBadInput : public QObject
{
    Q_OBJECT
    QStringList boxes;

    static QStringList payloads()
    {
        return {QString(),
                u"+"_qs,
                u"+++"_qs,
                u"abc"_qs,
                u"999999999999"_qs,
                u"-5"_qs,
                u"0"_qs,
                u"16"_qs,
                u"3+"_qs,
                u"3+x"_qs,
                u"-5+x+y"_qs,
                u"0+0+0+0+0+0"_qs,
                u"3+999999999999+abc"_qs,
                u"1+true+-5+abc"_qs,
                u"12+false+2147483647+-2147483648"_qs,
                QStringLiteral("4+\x01\r\n") + QChar(0) + u" x"_qs,
                QString(5000, QLatin1Char('+')),
                u"11+clBlack+5000+2147483647+-2147483648"_qs,
                u"3+clBlack+-7++2147483647,2147483647+-5,-5+abc,+,+"_qs,
                u"3+$ZZ+3++1,1+"_qs,
                u"3+9+<b>x</b>"_qs,
                u"2+1+3+4+"_qs,
                u"\u00ff\u2019+\u00ff"_qs};
    }

    static QStringList hostWords()
    {
        return {cmd::sendlogininfo,    cmd::chat,
                cmd::action,           cmd::newplayerinfo,
                cmd::existingplayers,  cmd::playerdisconnected,
                cmd::startgame,        cmd::nextplayer,
                cmd::winner,           cmd::draw,
                cmd::moveit,           cmd::clearmain,
                cmd::correctanswer,    cmd::updateanswer,
                cmd::givedraweranswer, cmd::guessed,
                cmd::pickcatagory,     cmd::myguessed,
                cmd::passed,           cmd::refreshplayerlist,
                cmd::havewrongversion, cmd::wrongversion,
                cmd::justwatching,     cmd::teamscore,
                cmd::gamestats,        cmd::veryclose,
                cmd::playasound,       cmd::updatetime,
                u"cmd_chat"_qs,        QString()};
    }

private slots:
    void init() { boxes.clear(); }
    void initTestCase()
    {
        errorbox::setHook([this](const QString &t) { boxes << t; });
        qputenv("QUILLET_GAME_PORT", QByteArray::number(freePort()));
        qputenv("QUILLET_LOBBY_PORT", QByteArray::number(freePort()));
    }

    void playerSurvivesEveryHostileMessage()
    {
        Program p({u"Ann"_qs, u"127.0.0.1"_qs, u"x"_qs}); // idle player side, fed by hand
        Tchat &chat = *p.chat;
        unplug(chat.game());
        play(chat.game(), {"CMD_sendlogininfo+5"});
        int fed = 0;
        for (const QString &word : hostWords()) {
            for (const QString &payload : payloads()) {
                chat.link()->receivedlist.push({word + QLatin1Char('+') + payload, 0, 0});
                guard([&] { chat.link()->processsocktimer(); });
                ++fed;
            }
        }
        QVERIFY(fed > 600);
        // Still a working window: a plain arrival fills its seat.
        chat.link()->receivedlist.push({u"CMD_newplayerinfo+3+Cy"_qs, 0, 0});
        chat.link()->processsocktimer();
        auto *name = chat.findChild<QLabel *>(u"label_playername3"_qs);
        QVERIFY(name);
        QCOMPARE(name->text(), u"Cy"_qs);
        // Only conversion errors, and the login answer that an unconnected player cannot send.
        for (const QString &b : std::as_const(boxes))
            QVERIFY2(b.endsWith(u" is not a valid integer value."_qs) ||
                         b == u"Send - Socket Not Connected."_qs,
                     qPrintable(b));
    }

    void hostKeepsServingAfterGarbageBytes()
    {
        Program p({u"Ann"_qs, u"127.0.0.1"_qs, u"true"_qs});
        p.chat->processparams();
        QTRY_VERIFY(p.chat->game()->loggedin());
        QTRY_COMPARE(p.server->game().player(1).name, u"Ann"_qs);

        const quint16 port = quint16(qEnvironmentVariableIntValue("QUILLET_GAME_PORT"));
        QTcpSocket vandal;
        vandal.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(vandal.waitForConnected(2000));
        QRandomGenerator rng(7);
        QByteArray junk(256 * 1024, Qt::Uninitialized);
        for (char &c : junk)
            c = char(rng.bounded(256));
        vandal.write(junk);
        vandal.write(QByteArray(1024 * 1024, 'A')); // a megabyte without an end marker
        vandal.write("\xFF\xFF\xFF"
                     "CMD_logininfo+999999999999+x+y\xFF"
                     "CMD_startgame+2+true+1+1\xFF");
        vandal.flush();

        QTcpSocket guest;
        guest.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(guest.waitForConnected(2000));
        QByteArray got;
        QTRY_VERIFY_WITH_TIMEOUT((got += guest.readAll()).contains("CMD_sendlogininfo+"), 5000);
        const QByteArray slot = got.mid(got.indexOf("CMD_sendlogininfo+") + 18).split('\xFF').first();
        guest.write("CMD_logininfo+" + slot +
                    "+2.2.8+Guest\xFF"
                    "CMD_chat+" +
                    slot + "+hello|clRed\xFF");
        guest.flush();
        const QByteArray relayed = QByteArray("CMD_chat+") + slot + "+Guest chats: hello|clRed";
        QTRY_VERIFY_WITH_TIMEOUT((got += guest.readAll()).contains(relayed), 3000);
        QVERIFY(!p.server->game().running()); // the forged start from a stranger did nothing
        QCOMPARE(boxes, QStringList());       // the host drops what it cannot read without a box
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
