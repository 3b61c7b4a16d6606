// The seven phrase lists that ship with the program, as the host loads them, and the host's own
// phrase files.
#include "host/judging.h"
#include "host/phrasefile.h"
#include "host/phrases.h"
#include "tests/support/textsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestPhraseLists : public QObject
{
    Q_OBJECT
private slots:
    void shipped_data();
    void shipped();
    void ownfile_data();
    void ownfile();
    void unreadable();
};

void TestPhraseLists::shipped_data()
{
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("count");
    const int counts[phrases::categories] = {626, 469, 885, 488, 994, 743, 446};
    for (int c = 0; c < phrases::categories; ++c)
        QTest::newRow(qPrintable(phrases::listfile(c))) << c << counts[c];
}

void TestPhraseLists::shipped()
{
    QFETCH(int, category);
    QFETCH(int, count);
    const QStringList list = phrases::shippedlist(category);
    QCOMPARE(list.size(), count);
    qsizetype passing = 0;
    for (const QString &phrase : list) {
        QVERIFY2(!phrase.isEmpty(), "an empty line in the list");
        QVERIFY2(!phrase.contains(QLatin1Char('\r')) && !phrase.contains(QLatin1Char('\n')),
                 qPrintable(phrase));
        if (!phrases::passesrepeattest(phrase))
            continue;
        ++passing;
        // Every phrase the host may deal can be solved: guessed word by word, in capitals and as a
        // keyboard types it, it is revealed in full as stored.
        QVERIFY2(judging::solvable(phrase), qPrintable(phrase));
    }
    QVERIFY2(passing * 10 >= list.size() * 9,
             qPrintable(QStringLiteral("%1 of %2 pass the repeat test").arg(passing).arg(list.size())));
}

void TestPhraseLists::ownfile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // Empty when the file is taken; else the start of its refusal.
    QTest::addColumn<QString>("refusal");
    // What the seven lists hold, joined by "|", one entry per category, when taken.
    QTest::addColumn<QStringList>("lists");
    const QString x(phrasefile::maxlength(), QLatin1Char('x'));
    const QStringList shared{QStringLiteral("hot dog"),        QStringLiteral("hot dog"),
                             QStringLiteral("hot dog"),        QStringLiteral("hot dog"),
                             QStringLiteral("star wars|jaws"), QStringLiteral("hot dog"),
                             QStringLiteral("apple pie")};
    QTest::newRow("headings and shared lines")
        << QByteArray(
               "# my lists\n\n  hot dog \n[movies]\nstar wars\n\n[Food and Drink]\napple pie\n[Movies]\njaws")
        << QString() << shared;
    QTest::newRow("byte order mark, CRLF")
        << QByteArray(
               "\xEF\xBB\xBFhot dog\r\n[Movies]\r\nstar wars\r\njaws\r\n[Food & Drink]\r\napple pie\r\n")
        << QString() << shared;
    QTest::newRow("accents, quotes, the longest phrase")
        << (QStringLiteral("café au lait\nrock’n roll\n") + x).toUtf8() << QString()
        << QStringList(7, QStringLiteral("café au lait|rock’n roll|") + x);
    QTest::newRow("too long") << (QStringLiteral("hot dog\n") + x + QLatin1Char('x')).toUtf8()
                              << QStringLiteral("line 2: the phrase has") << QStringList();
    QTest::newRow("not in the code page")
        << QByteArray("hot dog\n\n[Movies]\nstar \xE2\x98\x95\n")
        << QStringLiteral("line 4: the character \"\u2615\" (U+2615)") << QStringList();
    QTest::newRow("the end marker") << QByteArray("hot dog\nna\xC3\xAFve \xC3\xBF\n")
                                    << QStringLiteral("line 2: the character \"\u00FF\"") << QStringList();
    QTest::newRow("a tab in a phrase")
        << QByteArray("hot\tdog\n") << QStringLiteral("line 1: the character U+0009 cannot") << QStringList();
    // Every character that would not show is refused, and named by its code point.
    QList<char32_t> unseen{0x00, 0x7F, 0xAD, 0x200B};
    for (char32_t c = 0x01; c < 0xA0; c = c == 0x1F ? 0x80 : c + 1)
        if (c != '\n')
            unseen.append(c);
    for (const char32_t c : unseen) {
        const QString code = QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
        QTest::newRow(qPrintable(code))
            << (QStringLiteral("hot") + QString::fromUcs4(&c, 1) + QStringLiteral("dog\n")).toUtf8()
            << QStringLiteral("line 1: the character %1 cannot").arg(code) << QStringList();
    }
    QTest::newRow("outside the first plane") << QByteArray("hot dog\nsmile \xF0\x9F\x98\x80\n")
                                             << QStringLiteral("line 2: the character \"\U0001F600\" (U+1F600)")
                                             << QStringList();
    QTest::newRow("no-break space") << QByteArray("hot\xC2\xA0""dog\xC2\xA0\n") << QString()
                                    << QStringList(7, QStringLiteral("hot dog"));
    QTest::newRow("not UTF-8") << QByteArray("hot dog\ncaf\xE9\n")
                               << QStringLiteral("line 2: the line is not UTF-8") << QStringList();
    QTest::newRow("a word again") << QByteArray("hot dog\nthe cat in the hat\n")
                                  << QStringLiteral(
                                         "line 2: \"the cat in the hat\" has a word that comes again")
                                  << QStringList();
    QTest::newRow("unknown heading") << QByteArray("hot dog\n[Films]\n")
                                     << QStringLiteral(
                                            "line 2: [Films] is no category; the headings are [General], ")
                                     << QStringList();
    QTest::newRow("empty heading") << QByteArray("hot dog\n[Movies]\n# none yet\n[TV Shows]\nfriends\n")
                                   << QStringLiteral("line 2: [Movies] has no phrases") << QStringList();
    QTest::newRow("a category without phrases")
        << QByteArray("# only films\n[Movies]\njaws\n")
        << QStringLiteral(
               "line 2: no phrases for General: put some under [General], or before the first heading")
        << QStringList();
}

void TestPhraseLists::ownfile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, refusal);
    QFETCH(QStringList, lists);
    const phrasefile::Lists got = phrasefile::parse(bytes);
    if (!refusal.isEmpty()) {
        QVERIFY2(got.error.startsWith(refusal), qPrintable(got.error));
        QCOMPARE(got.line, refusal.section(QLatin1Char(' '), 1, 1).remove(QLatin1Char(':')).toInt());
        // Nothing half loaded.
        for (const QStringList &list : got.lists)
            QVERIFY(list.isEmpty());
        return;
    }
    QVERIFY2(got.ok(), qPrintable(got.error));
    for (int c = 0; c < phrases::categories; ++c)
        QCOMPARE(got.lists[size_t(c)].join(QLatin1Char('|')), lists[c]);
}

void TestPhraseLists::unreadable()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    phrasefile::Lists got = phrasefile::load(missing);
    QVERIFY(!got.ok());
    QCOMPARE(got.line, 0);
    QVERIFY2(got.error.startsWith(missing + QStringLiteral(" cannot be read")), qPrintable(got.error));
    QVERIFY(!phrasefile::load(dir.path()).ok());
    // A file far too large is refused unread.
    QFile big(dir.filePath(QStringLiteral("big.txt")));
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.resize(phrasefile::maxbytes + 1));
    big.close();
    QVERIFY(phrasefile::load(big.fileName()).error.contains(QStringLiteral("larger than")));
    // A device is no file, however it reads.
    QCOMPARE(phrasefile::load(QStringLiteral("/dev/zero")).error, QStringLiteral("/dev/zero is not a file"));
    // A good file reads as its bytes parse.
    const QString good = dir.filePath(QStringLiteral("good.txt"));
    QVERIFY(writefile(good, "hot dog\n"));
    got = phrasefile::load(good);
    QVERIFY(got.ok());
    QCOMPARE(got.lists[6], QStringList{QStringLiteral("hot dog")});

    QVERIFY(judging::solvable(QStringLiteral("Rock\u2019n Roll")));
    QVERIFY(!judging::solvable(QStringLiteral("the cat in the hat")));
    // Nobody types a no-break space or a soft hyphen: neither HOT DOG nor HOTDOG finds these.
    QVERIFY(!judging::solvable(QStringLiteral("hot\u00A0dog")));
    QVERIFY(!judging::solvable(QStringLiteral("hot\u00ADdog")));
}

QTEST_APPLESS_MAIN(TestPhraseLists)
#include "tst_phraselists.moc"
