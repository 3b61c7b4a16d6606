// The phrase buttons: what a click sends, the pause between clicks, and the editor's phrases
// through the settings file.
#include "client/chatpane.h"
#include "client/tchat.h"
#include "features/ini.h"
#include "protocol/colortext.h"
#include "tests/board/chatfixture.h"
#include "tests/support/playersetup.h"
#include "tests/support/tchatui.h"
#include "windows/phraseeditor.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

class TestPhraseButtons : public QObject
{
    Q_OBJECT
    QTemporaryDir home;

private slots:
    void initTestCase() { qputenv("QUILLET_HOME", home.path().toLocal8Bit()); }

    void clicksAndPause()
    {
        ChatAtHost at;
        QVERIFY(at.start(3));
        Tchat &t = *at.chat;
        QElapsedTimer since;
        since.start();
        QTest::mouseClick(ui(t).b_phrase[1], Qt::LeftButton);
        QTest::mouseClick(ui(t).b_phrase[2], Qt::LeftButton); // inside the pause: lost
        QCOMPARE(at.host.next(), QStringLiteral("CMD_action+3+says: Way To Go!|clMaroon"));
        // The pause is a second and a half of real time, however fast the queue drains.
        for (int tick = 1; tick <= 200; ++tick)
            t.link()->drainQueue();
        QTest::qWait(1000);
        QTest::mouseClick(ui(t).b_phrase[3], Qt::LeftButton); // still inside: lost
        QTRY_VERIFY_WITH_TIMEOUT(t.game()->phraseready(), 3000);
        QVERIFY(since.elapsed() >= PlayerGame::phrasepause);
        QTest::mouseClick(ui(t).b_phrase[9], Qt::LeftButton);
        QCOMPARE(at.host.next(), QStringLiteral("CMD_action+3+says: Good Game Everyone!|clMaroon"));
        QVERIFY(!t.game()->phraseready());

        // "/me" exactly, then four characters go whatever the fourth is; the chat colour, not
        // the brush's; characters that would break the message are replaced.
        ui(t).chatpane->settextcolor(colortext::clNavy);
        t.game()->findChild<QTimer *>(QStringLiteral("phrasePause"))->setInterval(1); // rests briefly
        const QStringList phrases{QStringLiteral("/me waves"), QStringLiteral("/mewaves"),
                                  QStringLiteral("/ME waves"), QString(),
                                  QStringLiteral("a") + QChar(0xFF) + QStringLiteral("b+c|d")};
        const QStringList sent{QStringLiteral("CMD_action+3+waves|clNavy"),
                               QStringLiteral("CMD_action+3+aves|clNavy"),
                               QStringLiteral("CMD_action+3+says: /ME waves|clNavy"),
                               QStringLiteral("CMD_action+3+says: |clNavy"),
                               QStringLiteral("CMD_action+3+says: a?b+c|d|clNavy")};
        for (int i = 0; i < phrases.size(); ++i) {
            t.game()->setphrase(4, phrases[i]);
            QTRY_VERIFY(t.game()->phraseready());
            ui(t).b_phrase[4]->click();
            QCOMPARE(at.host.next(), sent[i]);
        }
        QVERIFY(at.boxes.isEmpty());
    }

    void editorThroughSettingsFile()
    {
        Tphrases editor;
        {
            Tchat t;
            t.attach({.phrases = [&editor] { return &editor; }});
            ui(t).phraseListsAction->trigger();
            QVERIFY(editor.isVisible());
            // The menu item bears the window's name.
            QCOMPARE(QStringLiteral("Quillet - ") + ui(t).phraseListsAction->text(), editor.windowTitle());
            QCOMPARE(editor.phrase[1]->text(), QStringLiteral("Way To Go!"));
            QCOMPARE(editor.phrase[9]->text(), QStringLiteral("Good Game Everyone!"));
            // Edits left without "Done" are dropped at the next opening.
            editor.phrase[1]->setText(QStringLiteral("dropped"));
            ui(t).phraseListsAction->trigger();
            QCOMPARE(editor.phrase[1]->text(), QStringLiteral("Way To Go!"));

            editor.phrase[3]->clear();
            QTest::keyClicks(editor.phrase[3], QString(60, QLatin1Char('x')));
            QCOMPARE(editor.phrase[3]->text(), QString(50, QLatin1Char('x')));
            editor.phrase[5]->clear();
            editor.phrase[7]->setText(QStringLiteral("/me bows"));
            editor.doneClicked();
            QVERIFY(!editor.isVisible());
            QCOMPARE(ui(t).phrases()[2], QString(50, QLatin1Char('x')));
            QCOMPARE(ui(t).phrases()[4], QString()); // empty for the rest of the run
            QCOMPARE(ini::readString(t.settingsfile(), QStringLiteral("Quillet"), QStringLiteral("Phrase7")),
                     QStringLiteral("/me bows"));
        }
        // The next run reads them after login; the empty one gives back the built-in phrase.
        Tchat next;
        emit next.game()->connected();
        QCOMPARE(ui(next).phrases()[2], QString(50, QLatin1Char('x')));
        QCOMPARE(ui(next).phrases()[4], QStringLiteral("Brilliant!"));
        QCOMPARE(ui(next).phrases()[6], QStringLiteral("/me bows"));
        QCOMPARE(ui(next).phrases()[0], QStringLiteral("Way To Go!"));
        QCOMPARE(ui(next).b_phrase[1]->toolTip(), QStringLiteral("Way To Go!"));

        // A phrase that looks like markup is shown as typed, and sent as typed.
        next.attach({.phrases = [&editor] { return &editor; }});
        ui(next).phraseListsAction->trigger();
        editor.phrase[2]->setText(QStringLiteral("<b>bold</b>"));
        editor.doneClicked();
        QTextDocument shown;
        shown.setHtml(ui(next).b_phrase[2]->toolTip());
        QCOMPARE(shown.toPlainText(), QStringLiteral("<b>bold</b>"));
        QCOMPARE(ui(next).phrases()[1], QStringLiteral("<b>bold</b>"));
    }
};

QTEST_MAIN(TestPhraseButtons)
#include "tst_phrasebuttons.moc"
