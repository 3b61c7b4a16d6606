// What the player types, where it goes and what leaves: the answer field's focus across turns,
// the end marker in typed text, and the length of a chat line.
#include "client/chatpane.h"
#include "protocol/colortext.h"
#include "protocol/commands.h"
#include "protocol/framing.h"
#include "tests/board/chatfixture.h"
#include "widgets/flatpanel.h"

#include <QLineEdit>
#include <QTest>

class PlayerInput : public QObject
{
    Q_OBJECT

private slots:
    // Guesses keep going to the host across turns: the end of a turn never hands the focus to
    // the chat entry, and the next turn gives it back to the answer field.
    void answerFieldKeepsItsGuessesAcrossTurns()
    {
        ChatAtHost t;
        QVERIFY(t.start(1));
        Tchat &w = *t.chat;
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        t.host.send(QStringLiteral("CMD_pickcatagory+2"));
        t.host.send(QStringLiteral("CMD_nextplayer+2+0+____ "));
        QTRY_VERIFY(ui(w).edit_answer->isVisible());
        ui(w).edit_answer->setFocus();
        QTRY_VERIFY(ui(w).edit_answer->hasFocus());

        t.host.send(QStringLiteral("CMD_correctanswer+3+2+2+1+WORD"));
        QTRY_VERIFY(ui(w).panel_answer->isHidden());
        QVERIFY(!ui(w).chatpane->mychat->hasFocus());
        if (QWidget *focus = QApplication::focusWidget()) {
            QTest::keyClicks(focus, QStringLiteral("late"));
            QTest::keyClick(focus, Qt::Key_Return);
        }
        QVERIFY(t.host.drain(150).isEmpty());

        t.host.send(QStringLiteral("CMD_pickcatagory+3"));
        t.host.send(QStringLiteral("CMD_nextplayer+3+0+___ "));
        QTRY_VERIFY(ui(w).edit_answer->hasFocus());
        // The end marker typed into a guess goes as "?": the guess stays one message.
        QTest::keyClicks(ui(w).edit_answer, QStringLiteral("y\u00FFes"));
        QTest::keyClick(ui(w).edit_answer, Qt::Key_Return);
        QCOMPARE(t.host.next(), QStringLiteral("CMD_answer+1+y?es"));
        QVERIFY(t.host.drain(100).isEmpty());
    }

    // The login name carries no end marker either, and a chat line as long as the entry takes
    // is relayed by the host with its colour whole, within one message.
    void typedTextStaysOneMessage()
    {
        ChatAtHost t;
        QVERIFY(t.start(0));
        Tchat &w = *t.chat;
        w.game()->setloginname(QStringLiteral("Zo\u00FF"));
        t.host.send(QStringLiteral("CMD_sendlogininfo+15"));
        QCOMPARE(t.host.next(), QStringLiteral("CMD_logininfo+15+2.2.8+Zo?"));
        QVERIFY(t.host.drain(50).isEmpty());

        ui(w).chatpane->settextcolor(0x00EFBF9F); // the longest colour text
        ui(w).chatpane->mychat->setText(QString(5000, QLatin1Char('a')));
        QTest::keyClick(ui(w).chatpane->mychat, Qt::Key_Return);
        const QString sent = t.host.next();
        QVERIFY(sent.startsWith(QStringLiteral("CMD_chat+15+aaaa")));
        QVERIFY(sent.endsWith(QStringLiteral("|$00EFBF9F")));
        const QString relayed =
            cmd::buildChatRelay(15, QStringLiteral("Zo?"), sent.section(QLatin1Char('+'), 2));
        QVERIFY(relayed.size() <= framing::maxMessage);
        logof(w);
        w.game()->handle(cmd::chat + QLatin1Char('+') + relayed.section(QLatin1Char('+'), 1));
        QCOMPARE(logof(w).lines.last().second, 0x00EFBF9F);
        // A short line is not touched.
        ui(w).chatpane->mychat->setText(QStringLiteral("hi+there"));
        QTest::keyClick(ui(w).chatpane->mychat, Qt::Key_Return);
        QCOMPARE(t.host.next(), QStringLiteral("CMD_chat+15+hi+there|$00EFBF9F"));
    }
};

QTEST_MAIN(PlayerInput)
#include "tst_playerinput.moc"
