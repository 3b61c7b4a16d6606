// The help and about windows and the link component.
#include "protocol/commands.h"
#include "widgets/flatbutton.h"
#include "windows/aboutwindow.h"
#include "windows/helpwindow.h"
#include "windows/turl.h"

#include <QDate>
#include <QDesktopServices>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QtTest>

namespace {
// Stands in for the desktop: records every address handed to it.
class Opened : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};
} // namespace

class TestHelpAbout : public QObject
{
    Q_OBJECT
    Opened opened;
    const QStringList schemes{u"http"_qs, u"https"_qs, u"mailto"_qs, u"ftp"_qs, u"news"_qs};

private slots:
    void initTestCase()
    {
        for (const QString &s : schemes)
            QDesktopServices::setUrlHandler(s, &opened, "open");
    }
    void cleanupTestCase()
    {
        for (const QString &s : schemes)
            QDesktopServices::unsetUrlHandler(s);
    }
    void init() { opened.urls.clear(); }

    void helpReopensOnTheLastTopicWithItsScrollPosition()
    {
        Thelp help;
        help.show();
        QCOMPARE(help.label_caption->text(), u"Overview"_qs);
        QCOMPARE(help.pages->currentWidget(), help.memo(1));
        // Every topic has a page written for it; the two other buttons have none.
        for (int tag : {1, 2, 3, 4, 5, 6, 9, 11}) {
            QVERIFY2(help.memo(tag), qPrintable(QString::number(tag)));
            QVERIFY(help.memo(tag)->toPlainText().size() > 300);
            QVERIFY(help.memo(tag)->isReadOnly());
        }
        QVERIFY(!help.memo(7) && !help.memo(10));
        QVERIFY(help.memo(3)->toPlainText().contains(u"is for adding S, ES, IES, ER, R, ED, D, and ING."_qs));
        QVERIFY(help.memo(6)->toPlainText().contains(u"Version 2.2.8.2"_qs));

        QTest::mouseClick(help.topicButton(u"Game Play"_qs), Qt::LeftButton);
        QCOMPARE(help.label_caption->text(), u"Game Play"_qs);
        QScrollBar *bar = help.memo(3)->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum());
        QTest::mouseClick(help.topicButton(u"Scoring"_qs), Qt::LeftButton);
        QCOMPARE(help.pages->currentWidget(), help.memo(4));
        QTest::mouseClick(help.topicButton(u"Done"_qs), Qt::LeftButton);
        QVERIFY(!help.isVisible());
        help.show();
        QCOMPARE(help.label_caption->text(), u"Scoring"_qs);
        QCOMPARE(help.pages->currentWidget(), help.memo(4));
        QTest::mouseClick(help.topicButton(u"Game Play"_qs), Qt::LeftButton);
        QCOMPARE(bar->value(), bar->maximum());

        QSignalSpy about(&help, &Thelp::aboutRequested);
        QTest::mouseClick(help.topicButton(u"About"_qs), Qt::LeftButton);
        QCOMPARE(about.count(), 1);
        QCOMPARE(help.label_caption->text(), u"Game Play"_qs);
    }

    void aboutAndHelpShowTodaysYearTheVersionAndTheSite()
    {
        const QString year = QString::number(QDate::currentDate().year());
        Thelp help;
        Tabout about;
        QCOMPARE(help.label_year->text(), year);
        QCOMPARE(about.label_year->text(), year);
        QCOMPARE(about.version->text(), cmd::versionText);
        // The newest version in the help's history, and the package's.
        QCOMPARE(about.version->text() + about.findChild<QLabel *>(u"build"_qs)->text(), u"2.2.8.2"_qs);
        // The web address opens the maker's site.
        about.show();
        QTest::mouseClick(about.webAddress, Qt::LeftButton);
        QCOMPARE(opened.urls, QList<QUrl>{QUrl(u"https://"_qs + about.webAddress->text())});
    }

    void linkAddsItsPrefixAndRefusesWhatItCannotOpen_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("handed"); // empty: nothing is opened and open() fails
        const QString longest = u"example.org/"_qs + QString(79 - 7 - 12, u'a');
        QTest::newRow("http") << int(TURL::utHttp) << u"example.org/x"_qs << u"http://example.org/x"_qs;
        QTest::newRow("mailto") << int(TURL::utMailto) << u"me@example.org"_qs << u"mailto:me@example.org"_qs;
        QTest::newRow("news") << int(TURL::utNews) << u"comp.games"_qs << u"news:comp.games"_qs;
        QTest::newRow("none") << int(TURL::utnone) << u"ftp://example.org"_qs << u"ftp://example.org"_qs;
        QTest::newRow("empty") << int(TURL::utHttp) << QString() << QString();
        QTest::newRow("79 in all") << int(TURL::utHttp) << longest << u"http://"_qs + longest;
        QTest::newRow("80 in all") << int(TURL::utHttp) << longest + u'b' << QString();
    }
    void linkAddsItsPrefixAndRefusesWhatItCannotOpen()
    {
        QFETCH(int, type);
        QFETCH(QString, url);
        QFETCH(QString, handed);
        TURL link;
        link.URLType = TURL::TURLType(type);
        link.URL = url;
        QCOMPARE(link.open(), !handed.isEmpty());
        if (handed.isEmpty())
            QCOMPARE(opened.urls, QList<QUrl>());
        else
            QCOMPARE(opened.urls, QList<QUrl>{QUrl(handed)});
    }
};

QTEST_MAIN(TestHelpAbout)
#include "tst_helpabout.moc"
