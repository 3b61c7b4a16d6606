// The chat pane: how coded lines are laid out, styles and colours, links, and the pane's menus.
#include "client/chatpane.h"
#include "platform/errors.h"
#include "protocol/colortext.h"
#include "tests/support/textsupport.h"
#include "widgets/chatviewer.h"
#include "widgets/contrast.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QtTest>

using Kind = ChatViewer::Kind;

namespace {

// Items of a paragraph without the lone blanks, as "text@style", "[image]" or "<link>@style".
QStringList shape(const ChatViewer *v, int para)
{
    QStringList out;
    for (const ChatViewer::ItemInfo &i : v->items(para)) {
        if (i.kind == Kind::Image)
            out << QStringLiteral("[%1]").arg(i.image);
        else if (i.text != QLatin1String(" "))
            out << (i.kind == Kind::Link ? QStringLiteral("<%1>@%2") : QStringLiteral("%1@%2"))
                       .arg(i.text)
                       .arg(i.style);
    }
    return out;
}

int countColour(const QImage &img, QRgb rgb)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF);
    return n;
}

} // namespace

class TestChatPane : public QObject
{
    Q_OBJECT

private slots:
    void lineLayout_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("system line without head")
            << QStringLiteral("0+You are Connected.") << L({"You @0", "are @0", "Connected. @0"});
        QTest::newRow("code 3 with head and smiley") << QStringLiteral("3+Ann chats: hi :)#12 there")
                                                     << L({"Ann chats: @8", "hi @8", "[2]", "there @8"});
        QTest::newRow("smiley code 9x") << QStringLiteral("1+a :)#9xb") << L({"a @6", "[0]", "b @6"});
        QTest::newRow("smiley code 99") << QStringLiteral("1+a :)#99") << L({"a @6", "[0]"});
        QTest::newRow("one character at the end") << QStringLiteral("1+a :)#5") << L({"a @6", "[0]"});
        QTest::newRow("hex is not a smiley code") << QStringLiteral("1+:)#$F") << L({"[0]"});
        QTest::newRow("first and last smiley") << QStringLiteral("2+:)#10:)#27") << L({"[0]", "[17]"});
        QTest::newRow("link in the middle") << QStringLiteral("4+Bob chats: see www.x.com now")
                                            << L({"Bob chats: @9", "see @9", "<www.x.com >@4", "now @9"});
        QTest::newRow("capital WWW.")
            << QStringLiteral("5+go WWW.Example.COM") << L({"go @10", "<WWW.Example.COM >@4"});
        QTest::newRow("http inside a word")
            << QStringLiteral("9+Al chats: (HTTP://a.b)") << L({"Al chats: @14", "<(HTTP://a.b) >@4"});
        QTest::newRow("a smiley is no head")
            << QStringLiteral("3+Ann waves :)#11 bye") << L({"Ann @8", "waves @8", "[1]", "bye @8"});
        QTest::newRow("a web address is no head") << QStringLiteral("3+Ann likes http://x.org :)")
                                                  << L({"Ann @8", "likes @8", "<http://x.org >@4", ":) @8"});
        QTest::newRow("head before a smiley")
            << QStringLiteral("3+Ann says: :)#11") << L({"Ann says: @8", "[1]"});
        QTest::newRow("head up to the first colon") << QStringLiteral("1+a:b:c") << L({"a: @6", "b:c @6"});
        QTest::newRow("player 10") << QStringLiteral("10+Zed chats: yo") << L({"Zed chats: @1", "yo @1"});
        QTest::newRow("spy") << QStringLiteral("12+Spy chats: psst") << L({"Spy chats: @2", "psst @2"});
        QTest::newRow("markup stays text") << QStringLiteral("1+<b>x</b> &amp; <img src=y>")
                                           << L({"<b>x</b> @6", "&amp; @6", "<img @6", "src=y> @6"});
    }

    void lineLayout()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, items);
        ChatPane pane;
        pane.addlinetochat(line, colortext::clRed);
        QCOMPARE(pane.mainchat->paragraphCount(), 1);
        QCOMPARE(shape(pane.mainchat, 0), items);
    }

    void lineWithoutHeadBeginsWithABlank()
    {
        ChatPane pane;
        pane.addlinetochat(QStringLiteral("0+You are Connected."), Tchat_system());
        const auto items = pane.mainchat->items(0);
        QCOMPARE(items[0].text, QStringLiteral(" "));
        QCOMPARE(pane.mainchat->paragraphText(0), QStringLiteral(" You are Connected. "));
        QVERIFY(pane.mainchat->style(0).bold);
        // Two blanks in a row make a word that is a lone blank.
        pane.addlinetochat(QStringLiteral("1+a  b"), 0);
        QCOMPARE(pane.mainchat->paragraphText(1), QStringLiteral(" a  b "));
    }

    static int Tchat_system() { return 0x008AAAAC; }

    // A system line in a colour too pale for the white pane (the system and watch colours, or
    // white itself) is darkened just enough to read; blue already reads and stays. Players' lines
    // keep their colour, however pale.
    void systemLinesReadOnThePane()
    {
        QCOMPARE(contrast::legible(Qt::white, Qt::black), QColor(Qt::white));
        QVERIFY(contrast::ratio(contrast::legible(Qt::black, QColor(40, 40, 40)), QColor(40, 40, 40)) >= 4.5);

        ChatPane pane;
        for (const int colour : {Tchat_system(), 0x0078989C, colortext::clWhite, colortext::clYellow}) {
            pane.addlinetochat(QStringLiteral("0+Bob is Connected."), colour);
            const QColor given = colortext::toQColor(colour), shown = pane.mainchat->style(0).color;
            const double ratio = contrast::ratio(shown, Qt::white);
            QVERIFY2(ratio >= 4.5 && ratio < 4.7, qPrintable(shown.name()));
            // The same hue, darker.
            QVERIFY(shown.red() <= given.red() && shown.green() <= given.green() &&
                    shown.blue() <= given.blue());
            QVERIFY(qAbs(shown.hslHue() - given.hslHue()) <= 2 || given.hslHue() < 0);
        }
        pane.addlinetochat(QStringLiteral("0+Ann: Chatter Sound"), colortext::clBlue);
        QCOMPARE(pane.mainchat->style(0).color, QColor(Qt::blue));
        pane.addlinetochat(QStringLiteral("3+Cy chats: pale"), colortext::clSilver);
        QCOMPARE(pane.mainchat->style(8).color, colortext::toQColor(colortext::clSilver));
    }

    void badCodeAddsNothing()
    {
        ChatPane pane;
        QVERIFY_THROWS_EXCEPTION(EConvertError, pane.addlinetochat(QStringLiteral("x+hello"), 0));
        QVERIFY_THROWS_EXCEPTION(EConvertError, pane.addlinetochat(QStringLiteral("no plus"), 0));
        QCOMPARE(pane.mainchat->paragraphCount(), 0);
    }

    void linksAreGreenUnderlinedNotBold()
    {
        ChatPane pane;
        pane.addlinetochat(QStringLiteral("1+www.a.com"), colortext::clRed);
        const ChatTextStyle &s = pane.mainchat->style(4);
        QCOMPARE(s.color, QColor(0, 128, 0));
        QVERIFY(s.underline);
        QVERIFY(!s.bold);
    }

    // A line keeps the colour it was shown in: a later line of the same code, in another colour,
    // changes nothing above it. The text size, though, applies at once to every line.
    void linesKeepTheirColourAndTakeTheTextSizeAtOnce()
    {
        ChatPane pane;
        pane.resize(248, 311);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        pane.addlinetochat(QStringLiteral("1+Ann chats: MMMM WWWW"), colortext::clRed);
        pane.addlinetochat(QStringLiteral("2+Bob chats: MMMM WWWW"), colortext::clLime);
        pane.addlinetochat(QStringLiteral("1+Ann chats: again"), colortext::clBlue);
        QImage img = pane.mainchat->viewport()->grab().toImage();
        QVERIFY(countColour(img, qRgb(255, 0, 0)) > 20);
        QVERIFY(countColour(img, qRgb(0, 0, 255)) > 20);
        QVERIFY(countColour(img, qRgb(0, 255, 0)) > 20);

        // System lines: a blue one (a chatter sound while sounds are off) leaves the grey ones grey.
        pane.clearMainChatClicked();
        pane.addlinetochat(QStringLiteral("0+first MMMM"), 0x008AAAAC);
        pane.addlinetochat(QStringLiteral("0+second MMMM"), 0x008AAAAC);
        img = pane.mainchat->viewport()->grab().toImage();
        const QRgb systemGrey = contrast::legible(QColor(172, 170, 138), Qt::white).rgb();
        const int grey = countColour(img, systemGrey);
        QVERIFY(grey > 40);
        pane.addlinetochat(QStringLiteral("0+Bob: <Chatter Sound> Cheer"), colortext::clBlue);
        img = pane.mainchat->viewport()->grab().toImage();
        QCOMPARE(countColour(img, systemGrey), grey);
        QVERIFY(countColour(img, qRgb(0, 0, 255)) > 20);

        // Options / Text Size: the lines already shown grow before any new line arrives.
        const int height = pane.mainchat->documentHeight();
        pane.textSize14Action->trigger();
        QCOMPARE(pane.textsize(), 14);
        QVERIFY(pane.mainchat->documentHeight() > height);
        img = pane.mainchat->viewport()->grab().toImage();
        QVERIFY(countColour(img, systemGrey) > grey);
    }

    void linkOpensOnlyAsAWebAddress_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("opened");
        QTest::newRow("www") << QStringLiteral("www.example.com ")
                             << QStringLiteral("http://www.example.com");
        QTest::newRow("http") << QStringLiteral("http://a.org/x?y=1") << QStringLiteral("http://a.org/x?y=1");
        QTest::newRow("HTTPS capitals") << QStringLiteral("HTTPS://a.org") << QStringLiteral("https://a.org");
        QTest::newRow("file") << QStringLiteral("file:///home/www.x")
                              << QStringLiteral("http://file///home/www.x");
        QTest::newRow("other scheme")
            << QStringLiteral("ftp://www.a.org") << QStringLiteral("http://ftp//www.a.org");
        QTest::newRow("trailing blanks")
            << QStringLiteral("www.b.net   ") << QStringLiteral("http://www.b.net");
    }

    void linkOpensOnlyAsAWebAddress()
    {
        QFETCH(QString, target);
        QFETCH(QString, opened);
        ChatPane pane;
        QList<QUrl> urls;
        QStringList boxes;
        pane.openUrl = [&](const QUrl &u) {
            urls << u;
            return true;
        };
        pane.showMessage = [&](const QString &t) { boxes << t; };
        pane.mainchatJump(target);
        QVERIFY(boxes.isEmpty());
        QCOMPARE(urls.size(), 1);
        QCOMPARE(urls[0].scheme().left(4), QStringLiteral("http"));
        QCOMPARE(urls[0].toString(), QUrl(opened).toString());
        QVERIFY(!urls[0].isLocalFile());
    }

    void unusableLinkShowsTheBox()
    {
        ChatPane pane;
        QStringList boxes;
        int opened = 0;
        pane.openUrl = [&](const QUrl &) { return bool(++opened); };
        pane.showMessage = [&](const QString &t) { boxes << t; };
        pane.mainchatJump(QStringLiteral("javascript:alert(1)//www."));
        QCOMPARE(opened, 0);
        QCOMPARE(boxes, QStringList{QStringLiteral("Cannot open Webpage")});

        // A web address that no program on this desktop takes is said in the pane.
        pane.openUrl = [](const QUrl &) { return false; };
        pane.mainchatJump(QStringLiteral("www.example.com"));
        QCOMPARE(boxes.size(), 1);
        const int last = pane.mainchat->paragraphCount() - 1;
        QCOMPARE(pane.mainchat->paragraphText(last).trimmed(),
                 QStringLiteral("No program could open http://www.example.com."));
        QCOMPARE(pane.mainchat->style(0).color, contrast::legible(QColor(172, 170, 138), Qt::white));
    }

    // Every link opens its own target, however many came before and after a clear.
    void clickOpensTheClickedLink()
    {
        ChatPane pane;
        pane.resize(248, 311);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QList<QUrl> urls;
        pane.openUrl = [&](const QUrl &u) {
            urls << u;
            return true;
        };
        ChatViewer *v = pane.mainchat;
        auto clickLink = [&](int para) {
            // Bring the paragraph into view, then click its link item.
            const auto items = v->items(para);
            int item = 0;
            while (items[item].kind != Kind::Link)
                ++item;
            v->verticalScrollBar()->setValue(0);
            QRect r = v->itemRect(para, item);
            v->verticalScrollBar()->setValue(r.top() - 40);
            r = v->itemRect(para, item);
            QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, r.center());
        };
        for (int i = 0; i < 110; ++i)
            pane.addlinetochat(QStringLiteral("1+Ann chats: link www.site%1.com here").arg(i),
                               colortext::clRed);
        QCOMPARE(v->linkCount(), 110);
        for (int i : {0, 57, 100, 101, 102, 109}) {
            clickLink(i);
            QCOMPARE(urls.last(), QUrl(QStringLiteral("http://www.site%1.com").arg(i)));
        }
        pane.clearMainChatClicked();
        QCOMPARE(v->paragraphCount(), 0);
        pane.addlinetochat(QStringLiteral("1+a www.after1.com"), colortext::clRed);
        pane.addlinetochat(QStringLiteral("1+Bo chats: b www.after2.com c http://after3.org"),
                           colortext::clRed);
        clickLink(1);
        QCOMPARE(urls.last(), QUrl(QStringLiteral("http://www.after2.com")));
        clickLink(0);
        QCOMPARE(urls.last(), QUrl(QStringLiteral("http://www.after1.com")));
        QCOMPARE(urls.size(), 8);
    }

    // A long chat keeps the newest lines: the oldest go, and the links and styles of the lines
    // that stay work as before.
    void historyIsBounded()
    {
        ChatPane pane;
        pane.resize(248, 311);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QList<QUrl> urls;
        pane.openUrl = [&](const QUrl &u) {
            urls << u;
            return true;
        };
        ChatViewer *v = pane.mainchat;
        const int total = ChatPane::maxlines + ChatPane::maxlines / 10 + 1;
        for (int i = 0; i < total; ++i)
            pane.addlinetochat(QStringLiteral("1+Ann chats: line %1 www.site%1.com").arg(i),
                               colortext::clRed);
        QCOMPARE(v->paragraphCount(), ChatPane::maxlines);
        QCOMPARE(v->linkCount(), ChatPane::maxlines);
        const int first = total - ChatPane::maxlines;
        QCOMPARE(shape(v, 0), (QStringList{QStringLiteral("Ann chats: @6"), QStringLiteral("line @6"),
                                           QStringLiteral("%1 @6").arg(first),
                                           QStringLiteral("<www.site%1.com >@4").arg(first)}));
        QCOMPARE(v->verticalScrollBar()->value(), v->verticalScrollBar()->maximum());
        v->verticalScrollBar()->setValue(0);
        const auto items = v->items(0);
        int link = 0;
        while (items[link].kind != Kind::Link)
            ++link;
        const QRect r = v->itemRect(0, link);
        QVERIFY(r.isValid() && r.top() >= 0);
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(urls, QList<QUrl>{QUrl(QStringLiteral("http://www.site%1.com").arg(first))});

        // A flood of long lines is bounded by its characters as well, the newest line kept whole.
        const QString longText(4000, QLatin1Char('x'));
        for (int i = 0; i < 400; ++i)
            pane.addlinetochat(QStringLiteral("1+Ann chats: %1 ").arg(i) + longText, colortext::clRed);
        QVERIFY(v->characterCount() <= ChatPane::maxchars + ChatPane::maxchars / 10);
        QVERIFY(v->paragraphCount() < 400);
        QVERIFY(v->paragraphText(v->paragraphCount() - 1).contains(QStringLiteral(" 399 xxx")));
    }

    void textSizeIsSavedAndChecked()
    {
        ChatPane pane;
        int saved = 0;
        pane.onSettingsChanged = [&] { ++saved; };
        pane.addlinetochat(QStringLiteral("0+one"), 0);
        pane.textSizeClicked(14);
        QCOMPARE(saved, 1);
        QCOMPARE(pane.textsize(), 14);
        QVERIFY(pane.textSize14Action->isChecked());
        QVERIFY(!pane.textSize8Action->isChecked() && !pane.textSize10Action->isChecked() &&
                !pane.textSize12Action->isChecked());
    }

    void scrollChatOffKeepsTheView()
    {
        ChatPane pane;
        pane.resize(248, 311);
        for (int i = 0; i < 60; ++i)
            pane.addlinetochat(QStringLiteral("0+line %1").arg(i), 0);
        QScrollBar *bar = pane.mainchat->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        pane.scrollChatOffClicked();
        QVERIFY(pane.scrollChatOffAction->isChecked() && pane.scrollChatOffPopupAction->isChecked());
        bar->setValue(10);
        pane.addlinetochat(QStringLiteral("0+more"), 0);
        QCOMPARE(bar->value(), 10);
        // The menu entries toggle through the same handler.
        pane.scrollChatOffPopupAction->trigger();
        QVERIFY(!pane.scrollChatOffAction->isChecked() && !pane.scrollChatOffPopupAction->isChecked());
        pane.scrollChatOffAction->trigger();
        QVERIFY(pane.scrollChatOffAction->isChecked() && pane.scrollChatOffPopupAction->isChecked());
    }

    // A change of text size (or of the pane's width) lays every line out again and keeps the
    // view where it was: at the newest line when it showed it, else at the same line on top.
    void relayoutKeepsTheView()
    {
        ChatPane pane;
        pane.resize(248, 311);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        for (int i = 0; i < 60; ++i)
            pane.addlinetochat(QStringLiteral("0+line %1 of a chat that runs on").arg(i), 0);
        ChatViewer *v = pane.mainchat;
        QScrollBar *bar = v->verticalScrollBar();
        const auto lastLineShows = [v, bar] {
            return v->documentHeight() - bar->value() <= v->viewport()->height();
        };
        for (QAction *size : {pane.textSize14Action, pane.textSize8Action, pane.textSize12Action}) {
            size->trigger();
            QVERIFY(bar->maximum() > 0);
            QCOMPARE(bar->value(), bar->maximum());
            QVERIFY(lastLineShows());
        }
        pane.resize(400, 311);
        QCOMPARE(bar->value(), bar->maximum());

        const auto topLine = [v, bar] { return v->paragraphText(v->paragraphAt(bar->value())); };
        bar->setValue(bar->maximum() / 2);
        const QString top = topLine();
        pane.textSize8Action->trigger();
        QCOMPARE(topLine(), top);
        pane.resize(248, 311);
        QCOMPARE(topLine(), top);
    }

    void entryBox()
    {
        ChatPane pane;
        ChatEntry *box = pane.mychat;
        QCOMPARE(box->text(), ChatPane::placeholder);
        // Smilies replace the placeholder and append their code.
        pane.smileyClicked(15);
        pane.smileyClicked(27);
        QCOMPARE(box->text(), QStringLiteral(":)#15:)#27"));
        QCOMPARE(box->cursorPosition(), int(box->text().size()));

        // Paste from the menu appends, placeholder and all.
        box->setText(ChatPane::placeholder);
        QApplication::clipboard()->setText(QStringLiteral("xyz"));
        pane.pasteClicked();
        QCOMPARE(box->text(), QStringLiteral("<Enter Chat Here>xyz"));
        QVERIFY(!box->hasSelectedText());

        // A key clears the placeholder first; Ctrl+V appends at the end.
        box->setText(ChatPane::placeholder);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("xyz"));
        box->setCursorPosition(0);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("xyzxyz"));
        box->setText(ChatPane::placeholder);
        QTest::keyClicks(box, QStringLiteral("hi"));
        QCOMPARE(box->text(), QStringLiteral("hi"));

        // Enter goes to the window's send handler.
        int sent = 0;
        pane.onSend = [&] { ++sent; };
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(sent, 1);
    }

    void smiliesMenuHoldsTheEighteenCodes()
    {
        ChatPane pane;
        QCOMPARE(pane.smilies.size(), 18);
        QCOMPARE(pane.smilies.first()->text().section(QLatin1Char('\t'), 0, 0), QStringLiteral(":)#10"));
        QCOMPARE(pane.smilies.last()->text().section(QLatin1Char('\t'), 0, 0), QStringLiteral(":)#27"));
        QCOMPARE(pane.smilies.last()->objectName(), QStringLiteral("N271"));
        for (const QPixmap &pm : pane.imagelist_smilies)
            QCOMPARE(pm.size(), QSize(17, 16));
        pane.smilies[3]->trigger();
        QCOMPARE(pane.mychat->text(), QStringLiteral(":)#13"));
    }

    void clearMovesFocusToTheEntryBox()
    {
        ChatPane pane;
        pane.show();
        QVERIFY(QTest::qWaitForWindowActive(&pane));
        pane.addlinetochat(QStringLiteral("0+x"), 0);
        pane.mainchat->setFocus();
        pane.clearMainChatClicked();
        QCOMPARE(pane.mainchat->paragraphCount(), 0);
        QCOMPARE(QApplication::focusWidget(), pane.mychat);
    }

    void selectAllAndCopy()
    {
        ChatPane pane;
        pane.addlinetochat(QStringLiteral("0+You are Connected."), 0);
        pane.addlinetochat(QStringLiteral("1+Ann chats: hi :)#12 www.x.org"), 0);
        QApplication::clipboard()->setText(QStringLiteral("old"));
        pane.copyClicked(); // nothing selected: the clipboard keeps its text
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("old"));
        pane.selectAllClicked();
        pane.copyClicked();
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral(" You are Connected. \nAnn chats:  hi   www.x.org "));
    }
};

QTEST_MAIN(TestChatPane)
#include "tst_chatpane.moc"
