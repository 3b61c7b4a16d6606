// The tool bar's widgets, the game-start dialog, and the answer, category, pass and start actions.

#include "protocol/colortext.h"
#include "protocol/commands.h"
#include "tests/board/chatfixture.h"
#include "widgets/colorbutton.h"
#include "widgets/updown.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QColorDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

class BoardActions : public QObject
{
    Q_OBJECT

private slots:
    void upDownStopsAtItsEnds_data();
    void upDownStopsAtItsEnds();
    void upDownReadsWhatWasTyped();
    void colourButtonPaletteAndCustomColours();

    void startDialogFields();
    void startSendsTheDialogValuesAndHides();
    void startWhenNotConnected();
    void menuItemOpensTheDialogWhileTheButtonIsHidden();

    void answerSentAsTypedOnEnter();
    void answerNotLoggedInStillEmptiesTheField();
    void categoryButtonsActAsOneGroup();
    void categoryPressedByANonDrawer();
    void passOncePerShowing();
};

void BoardActions::upDownStopsAtItsEnds_data()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("step");
    QTest::newRow("score") << 20 << 100 << 5;
    QTest::newRow("time") << 60 << 120 << 5;
    QTest::newRow("brush width") << 0 << 100 << 1;
}

void BoardActions::upDownStopsAtItsEnds()
{
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, step);
    QLineEdit edit;
    UpDown ud;
    ud.setRange(min, max);
    ud.setIncrement(step);
    ud.setAssociate(&edit);
    ud.setPosition(max - step);
    ud.upButton()->click();
    QCOMPARE(edit.text(), QString::number(max));
    ud.upButton()->click();
    QCOMPARE(edit.text(), QString::number(max)); // no wrap-around
    ud.setPosition(min);
    ud.downButton()->click();
    QCOMPARE(edit.text(), QString::number(min));
    // The arrow keys step the field that has focus.
    QTest::keyClick(&edit, Qt::Key_Up);
    QTest::keyClick(&edit, Qt::Key_Up);
    QCOMPARE(edit.text(), QString::number(min + 2 * step));
    QTest::keyClick(&edit, Qt::Key_Down);
    QCOMPARE(edit.text(), QString::number(min + step));
}

void BoardActions::upDownReadsWhatWasTyped()
{
    QLineEdit edit;
    UpDown ud;
    ud.setRange(0, 100);
    ud.setAssociate(&edit);
    ud.setPosition(3);
    edit.setText(QStringLiteral("42"));
    ud.stepUp();
    QCOMPARE(edit.text(), QStringLiteral("43"));
    edit.setText(QStringLiteral("abc")); // not a number: the arrows go on from the last position
    ud.stepUp();
    QCOMPARE(edit.text(), QStringLiteral("44"));
}

void BoardActions::colourButtonPaletteAndCustomColours()
{
    ColorButton b;
    QCOMPARE(b.colour(), 0);
    // Row by row, as the palette's table lists them (RGB).
    const QRgb rows[20] = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xBFD7BF, 0x000000, 0x7F0000,
                           0x007F00, 0x00007F, 0x9FBFEF, 0xBFBFBF, 0xFFFF00, 0x00FFFF, 0xFF00FF,
                           0xFFF7EF, 0x7F7F7F, 0x7F7F00, 0x007F7F, 0x7F007F, 0x9F9F9F};
    auto *grid = b.dropDown()->findChild<QToolButton *>(QStringLiteral("palette0"))->parentWidget();
    for (int i = 0; i < 20; ++i) {
        QCOMPARE(colortext::toQColor(ColorButton::palette[i]).rgb() & 0xFFFFFF, rows[i]);
        auto *swatch = grid->findChild<QToolButton *>(QStringLiteral("palette%1").arg(i));
        QVERIFY(swatch);
    }
    // 4 columns by 5 rows: the sixth swatch (black) sits under the second.
    const auto *p1 = grid->findChild<QToolButton *>(QStringLiteral("palette1"));
    const auto *p5 = grid->findChild<QToolButton *>(QStringLiteral("palette5"));
    grid->adjustSize();
    QCOMPARE(p5->x(), p1->x());
    QVERIFY(p5->y() > p1->y());
    grid->findChild<QToolButton *>(QStringLiteral("palette9"))->click();
    QCOMPARE(b.colour(), 0x00EFBF9F);
    for (int c : b.customColours)
        QCOMPARE(c, colortext::clWhite);

    // "&Other": the dialog gets the custom colours and the ones it returns are kept.
    b.customColours[3] = 0x00123456;
    QList<QColor> offered;
    b.runDialog = [&](QColorDialog &d) {
        for (int i = 0; i < 16; ++i)
            offered << QColorDialog::customColor(i);
        QColorDialog::setCustomColor(15, QColor(1, 2, 3));
        d.setCurrentColor(QColor(10, 20, 30));
        return true;
    };
    b.OtherClick();
    QCOMPARE(offered.size(), 16);
    QCOMPARE(offered[3], colortext::toQColor(0x00123456));
    QCOMPARE(offered[0], QColor(Qt::white));
    QCOMPARE(b.customColours[15], colortext::rgb(1, 2, 3));
    QCOMPARE(b.colour(), colortext::rgb(10, 20, 30));
    grid->findChild<QToolButton *>(QStringLiteral("custom3"))->click();
    QCOMPARE(b.colour(), 0x00123456);
    // Cancelled: nothing changes.
    b.runDialog = [](QColorDialog &d) {
        QColorDialog::setCustomColor(0, Qt::red);
        d.setCurrentColor(Qt::green);
        return false;
    };
    b.OtherClick();
    QCOMPARE(b.colour(), 0x00123456);
    QCOMPARE(b.customColours[0], colortext::clWhite);
}

void BoardActions::startDialogFields()
{
    Tgamestartform f;
    QCOMPARE(f.windowTitle(), QStringLiteral("Quillet - Start Game"));
    QVERIFY(f.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(f.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QCOMPARE(f.size(), QSize(240, 153));
    QCOMPARE(f.playtoscore->text(), QStringLiteral("20"));
    QCOMPARE(f.timeperturn->text(), QStringLiteral("120"));
    QVERIFY(!f.team->isChecked());
    QVERIFY(!f.hints->isChecked());
    QVERIFY(f.playtoscore->isReadOnly() && f.timeperturn->isReadOnly());
    QTest::keyClicks(f.playtoscore, QStringLiteral("7"));
    QCOMPARE(f.playtoscore->text(), QStringLiteral("20"));
    // Short games: down to 5 points and 30 seconds, and no further.
    QCOMPARE(f.playToScoreArrows->maximum(), 100);
    for (int i = 0; i < 4; ++i)
        f.playToScoreArrows->downButton()->click();
    QCOMPARE(f.playtoscore->text(), QStringLiteral("5"));
    f.playToScoreArrows->setPosition(20);
    for (int i = 0; i < 19; ++i)
        f.turnTimeArrows->downButton()->click();
    QCOMPARE(f.timeperturn->text(), QStringLiteral("30"));
    f.turnTimeArrows->setPosition(120);
    QCOMPARE(f.turnTimeArrows->increment(), 5);
    f.turnTimeArrows->upButton()->click();
    QCOMPARE(f.timeperturn->text(), QStringLiteral("120"));
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(QApplication::focusWidget(), f.team);
    // Closing with the close box only hides.
    f.close();
    QVERIFY(!f.isVisible());
    QCOMPARE(f.playtoscore->text(), QStringLiteral("20"));
}

void BoardActions::startSendsTheDialogValuesAndHides()
{
    ChatAtHost t;
    QVERIFY(t.start(1));
    ui(t.chat).button_start->show();
    ui(t.chat).button_start->click();
    QVERIFY(t.form->isVisible());
    QVERIFY(ui(t.chat).button_start->isHidden());
    t.form->playToScoreArrows->upButton()->click();
    t.form->turnTimeArrows->downButton()->click();
    t.form->turnTimeArrows->downButton()->click();
    t.form->team->click();
    t.form->startButton->click();
    QCOMPARE(t.host.next(), QStringLiteral("CMD_startgame+1+true+25+110"));
    QVERIFY(!t.form->isVisible());
    // Letter hints are asked for just before a start of the same four fields.
    ui(t.chat).startGameAction->trigger();
    t.form->hints->click();
    t.form->startButton->click();
    QCOMPARE(t.host.next(), QStringLiteral("CMD_hints+1+true"));
    QCOMPARE(t.host.next(), QStringLiteral("CMD_startgame+1+true+25+110"));
    t.form->hints->click();
    // The second start of the run reuses the values.
    ui(t.chat).startGameAction->trigger();
    t.form->startButton->click();
    QCOMPARE(t.host.next(), QStringLiteral("CMD_startgame+1+true+25+110"));
    // The game gone meanwhile: "Start Game" sends nothing but hides all the same.
    t.form->show();
    t.chat->game()->leavegame(QStringLiteral("The host has ended the game."));
    t.form->startGameClicked();
    QVERIFY(!t.form->isVisible());
    QVERIFY(t.host.drain().isEmpty());
}

void BoardActions::startWhenNotConnected()
{
    ChatAtHost t;
    QVERIFY(t.start(0));
    ui(t.chat).button_start->show();
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    ui(t.chat).button_start->click();
    QCOMPARE(shown, QStringLiteral("You are not connected"));
    QVERIFY(!t.form->isVisible());
    QVERIFY(ui(t.chat).button_start->isVisible());
}

void BoardActions::menuItemOpensTheDialogWhileTheButtonIsHidden()
{
    ChatAtHost t;
    QVERIFY(t.start(1));
    ui(t.chat).button_start->hide();
    ui(t.chat).startGameAction->setEnabled(true);
    ui(t.chat).startGameAction->trigger();
    QVERIFY(t.form->isVisible());
}

void BoardActions::answerSentAsTypedOnEnter()
{
    ChatAtHost t;
    QVERIFY(t.start(3));
    ui(t.chat).edit_answer->show();
    ui(t.chat).edit_answer->setFocus();
    QTest::keyClicks(ui(t.chat).edit_answer, QStringLiteral(" big+dog "));
    QTest::keyClick(ui(t.chat).edit_answer, Qt::Key_Return);
    QCOMPARE(t.host.next(), QStringLiteral("CMD_answer+3+ big+dog "));
    QCOMPARE(ui(t.chat).edit_answer->text(), QString());
    QTest::keyClick(ui(t.chat).edit_answer, Qt::Key_Enter);
    QCOMPARE(t.host.next(), QStringLiteral("CMD_answer+3+"));
}

void BoardActions::answerNotLoggedInStillEmptiesTheField()
{
    ChatAtHost t;
    QVERIFY(t.start(0));
    ui(t.chat).edit_answer->setText(QStringLiteral("cat"));
    QTest::keyClick(ui(t.chat).edit_answer, Qt::Key_Return);
    QCOMPARE(ui(t.chat).edit_answer->text(), QString());
    QTest::keyClick(ui(t.chat).edit_answer, Qt::Key_A); // other keys are typed as usual
    QCOMPARE(ui(t.chat).edit_answer->text(), QStringLiteral("a"));
    QVERIFY(t.host.drain().isEmpty());
}

void BoardActions::categoryButtonsActAsOneGroup()
{
    ChatAtHost t;
    QVERIFY(t.start(3));
    t.turnOf(3);
    ui(t.chat).panel_pickcatagory->show();
    ui(t.chat).button_cat[6]->click();
    QCOMPARE(t.host.next(), QStringLiteral("CMD_pickcatagory+3+6"));
    QVERIFY(ui(t.chat).panel_pickcatagory->isHidden());
    QVERIFY(ui(t.chat).button_cat[6]->isChecked());
    ui(t.chat).panel_pickcatagory->show();
    ui(t.chat).button_cat[6]->click(); // the pressed one stays down
    QCOMPARE(t.host.next(), QStringLiteral("CMD_pickcatagory+3+6"));
    QVERIFY(ui(t.chat).button_cat[6]->isChecked());
    ui(t.chat).button_cat[2]->click();
    QCOMPARE(t.host.next(), QStringLiteral("CMD_pickcatagory+3+2"));
    for (int i = 0; i < 7; ++i)
        QCOMPARE(ui(t.chat).button_cat[i]->isChecked(), i == 2);
    t.chat->game()->handle(QStringLiteral("CMD_pickcatagory+9")); // the next pick brings every button up
    for (int i = 0; i < 7; ++i)
        QVERIFY(!ui(t.chat).button_cat[i]->isChecked());
    // The game gone: the panel closes all the same, nothing is sent.
    t.chat->game()->leavegame(QStringLiteral("The host has ended the game."));
    ui(t.chat).panel_pickcatagory->show();
    ui(t.chat).button_cat[0]->click();
    QVERIFY(ui(t.chat).panel_pickcatagory->isHidden());
    QVERIFY(t.host.drain().isEmpty());
}

void BoardActions::categoryPressedByANonDrawer()
{
    ChatAtHost t;
    QVERIFY(t.start(0));
    ui(t.chat).button_cat[1]->click(); // left down from an earlier pick, before the login
    t.host.send(QStringLiteral("CMD_sendlogininfo+3"));
    QVERIFY(t.host.next().startsWith(QStringLiteral("CMD_logininfo+3+")));
    t.turnOf(5);
    ui(t.chat).panel_pickcatagory->show();
    ui(t.chat).button_cat[4]->click();
    QVERIFY(ui(t.chat).panel_pickcatagory->isHidden());
    // As a group the press raised the others, and the pressed one comes up too.
    for (int i = 0; i < 7; ++i)
        QVERIFY(!ui(t.chat).button_cat[i]->isChecked());
    QVERIFY(t.host.drain().isEmpty());
}

void BoardActions::passOncePerShowing()
{
    ChatAtHost t;
    QVERIFY(t.start(3));
    t.turnOf(3);
    ui(t.chat).button_pass->show();
    ui(t.chat).button_pass->click();
    QCOMPARE(t.host.next(), QStringLiteral("CMD_pass+3"));
    QVERIFY(ui(t.chat).button_pass->isHidden());
    // No longer the drawer: hides, sends nothing.
    t.chat->game()->handle(QStringLiteral("CMD_correctanswer+1+1+3+0+CAT"));
    ui(t.chat).button_pass->show();
    ui(t.chat).button_pass->click();
    QVERIFY(ui(t.chat).button_pass->isHidden());
    QVERIFY(t.host.drain().isEmpty());
}

QTEST_MAIN(BoardActions)
#include "tst_boardactions.moc"
