// The rich viewer on its own: incremental layout, wrapping, margins, selection and copy.
#include "widgets/chatviewer.h"

#include <QApplication>
#include <QClipboard>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

class TestChatViewer : public QObject
{
    Q_OBJECT

    static void addLine(ChatViewer &v, const QString &text, int style = 6)
    {
        const QStringList words = text.split(QLatin1Char(' '));
        for (int i = 0; i < words.size(); ++i)
            v.addText(words[i] + QLatin1Char(' '), style, i == 0);
        v.format();
    }

private slots:
    void addingALineLaysOutThatLineOnly()
    {
        ChatViewer v;
        v.resize(240, 200);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        for (int i = 0; i < 500; ++i)
            addLine(v, QStringLiteral("line %1 with a few words").arg(i));
        QCOMPARE(v.paragraphCount(), 500);
        QCOMPARE(v.laidOutCount(), 500);
        const qint64 before = v.layoutWork();
        addLine(v, QStringLiteral("one more"));
        QCOMPARE(v.layoutWork() - before, 1);

        // A font change of one style lays out only the paragraphs that use it.
        v.addText(QStringLiteral("other style "), 9, true);
        v.format();
        const qint64 mark = v.layoutWork();
        v.setStyleBold(9, true);
        v.format();
        QCOMPARE(v.layoutWork() - mark, 1);

        // A colour change needs no layout at all.
        v.setStyleColor(6, Qt::red);
        v.format();
        QCOMPARE(v.layoutWork() - mark, 1);

        // A new width lays out everything.
        v.resize(300, 200);
        QCOMPARE(v.layoutWork() - mark, 1 + 502);
    }

    void textSizeTakesEffectAtTheNextLayout()
    {
        ChatViewer v;
        v.resize(240, 200);
        addLine(v, QStringLiteral("small text"));
        const int h = v.documentHeight();
        v.setTextSize(20);
        QCOMPARE(v.documentHeight(), h);
        addLine(v, QStringLiteral("big text"));
        QVERIFY(v.documentHeight() > 2 * h);
    }

    void wrapsWithinTheMargins()
    {
        ChatViewer v;
        v.resize(200, 300);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        const int right = v.viewport()->width() - ChatViewer::margin;
        addLine(v, QStringLiteral(
                       "the quick brown fox jumps over the lazy dog again and again until the line wraps"));
        v.addText(QStringLiteral("Averyveryveryverylongwordwithoutanyblanksthatcannotfitonasinglerowatall "),
                  6, true);
        v.format();
        QCOMPARE(v.itemRect(0, 0).topLeft(), QPoint(ChatViewer::margin, ChatViewer::margin));
        int rows = 0, lastTop = -1;
        for (int i = 0; i < v.items(0).size(); ++i) {
            const QRect r = v.itemRect(0, i);
            QVERIFY(r.left() >= ChatViewer::margin);
            // Trailing blanks may hang over the edge, the word itself may not.
            const QString word = v.items(0)[i].text.trimmed();
            QVERIFY2(r.left() + QFontMetrics(v.style(6).font()).horizontalAdvance(word) <= right + 1,
                     qPrintable(word));
            if (r.top() != lastTop)
                ++rows, lastTop = r.top();
        }
        QVERIFY(rows >= 3);
        // The long word is broken between characters and starts on its own row at the margin.
        const QRect first = v.itemRect(1, 0);
        QCOMPARE(first.left(), ChatViewer::margin);
        QVERIFY(first.width() <= right - ChatViewer::margin + 1);
        QVERIFY(v.documentHeight() - first.top() > 2 * first.height());
    }

    void selectionAndCopyArePlainText()
    {
        ChatViewer v;
        QList<QPixmap> images{QPixmap(17, 16)};
        images[0].fill(Qt::yellow);
        v.setImages(images);
        v.resize(300, 200);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        v.addText(QStringLiteral(" "), 0, true);
        v.addText(QStringLiteral("hello "), 0);
        v.addImage(0);
        v.addLink(QStringLiteral("www.a.com "), QStringLiteral("www.a.com "), 4);
        v.addText(QStringLiteral("Bob: "), 6, true);
        v.addText(QStringLiteral("<b>not bold</b> "), 6);
        v.format();
        QVERIFY(!v.hasSelection());
        v.selectAll();
        QCOMPARE(v.selectedText(), QStringLiteral(" hello www.a.com \nBob: <b>not bold</b> "));
        v.copy();
        QCOMPARE(QApplication::clipboard()->text(), v.selectedText());

        // Drag from the start of "hello" to the end of "Bob: ".
        v.deselect();
        const QRect from = v.itemRect(0, 1);
        const QRect to = v.itemRect(1, 0);
        QTest::mousePress(v.viewport(), Qt::LeftButton, {}, QPoint(from.left() + 1, from.center().y()));
        QTest::mouseMove(v.viewport(), QPoint(to.right() - 1, to.center().y()));
        QTest::mouseRelease(v.viewport(), Qt::LeftButton, {}, QPoint(to.right() - 1, to.center().y()));
        QVERIFY(v.hasSelection());
        QVERIFY2(v.selectedText().startsWith(QStringLiteral("hello www.a.com \nBob:")),
                 qPrintable(v.selectedText()));

        // Ctrl+Insert copies as Ctrl+C does.
        QApplication::clipboard()->clear();
        QTest::keyClick(&v, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), v.selectedText());
        v.clear();
        QVERIFY(!v.hasSelection());
        QCOMPARE(v.paragraphCount(), 0);
    }

    void clickOnALinkReportsItsOwnTarget()
    {
        ChatViewer v;
        v.resize(300, 200);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        v.addText(QStringLiteral("see "), 6, true);
        v.addLink(QStringLiteral("here "), QStringLiteral("www.target.org"), 4);
        v.format();
        QSignalSpy spy(&v, &ChatViewer::jump);
        const QRect r = v.itemRect(0, 1);
        // The pointer turns into a hand over the link only.
        QTest::mouseMove(v.viewport(), r.center());
        QCOMPARE(v.viewport()->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseMove(v.viewport(), v.itemRect(0, 0).center());
        QCOMPARE(v.viewport()->cursor().shape(), Qt::ArrowCursor);
        QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy[0][0].toString(), QStringLiteral("www.target.org"));
        // A click on plain text opens nothing.
        QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, v.itemRect(0, 0).center());
        QCOMPARE(spy.size(), 1);
    }

    void scrollBarFollowsTheContent()
    {
        ChatViewer v;
        v.resize(200, 100);
        QCOMPARE(v.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        for (int i = 0; i < 50; ++i)
            addLine(v, QStringLiteral("row %1").arg(i));
        QScrollBar *bar = v.verticalScrollBar();
        QCOMPARE(bar->maximum(), v.documentHeight() - v.viewport()->height());
        v.scrollToEnd();
        QCOMPARE(bar->value(), bar->maximum());
        v.clear();
        QCOMPARE(bar->maximum(), 0);
    }

    // Lines added at the end paint only themselves and scroll what is shown, and the scroll bar is
    // painted again only when its handle moves: the pixels on screen stay what a full paint draws,
    // also across a line that is held until the next paint and the oldest lines going.
    void addedLinesShowAsAFullPaintWould()
    {
        QWidget window;
        window.resize(240, 160);
        ChatViewer v(&window);
        v.setGeometry(0, 0, 240, 160);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto onScreen = [&] {
            return window.screen()
                ->grabWindow(window.winId(), 0, 0, v.width(), v.height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        };
        const auto painted = [&] { return v.grab().toImage().convertToFormat(QImage::Format_RGB32); };
        for (int i = 0; i < 30; ++i) {
            addLine(v, QStringLiteral("line %1 with words that wrap in a narrow pane").arg(i), 6 + i % 3);
            v.scrollToEnd();
            if (i % 4 != 0)
                QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
        QCOMPARE(onScreen(), painted());
        v.dropOldest(10);
        addLine(v, QStringLiteral("after the oldest went"));
        v.scrollToEnd();
        QCoreApplication::processEvents();
        QCOMPARE(onScreen(), painted());
    }
};

QTEST_MAIN(TestChatViewer)
#include "tst_chatviewer.moc"
