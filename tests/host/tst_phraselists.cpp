// The seven phrase lists that ship with the program, as the host loads them.
#include "host/judging.h"
#include "host/phrases.h"
#include "protocol/text.h"

#include <QTest>

class TestPhraseLists : public QObject
{
    Q_OBJECT
private slots:
    void shipped_data();
    void shipped();
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
        // Every phrase the host may deal can be solved: guessed word by word, it is revealed in full.
        const QString upper = text::asciiUpper(phrase);
        QString mask = phrases::sortphrase(phrase);
        const phrases::PhraseWords words = phrases::phrasewords(phrase);
        bool solved = false;
        for (const QString &word : phrases::splitwords(upper)) {
            for (const judging::Step &step : judging::judge(upper, mask, words, word))
                solved = solved || step.kind == judging::Step::Solved;
        }
        QVERIFY2(solved && !mask.contains(QLatin1Char('_')),
                 qPrintable(phrase + QLatin1String(" -> ") + mask));
        // Typed as a keyboard types it, in small letters with plain apostrophes and quotes, it is
        // solved too, and the mask shows the phrase as stored.
        QString typedmask = phrases::sortphrase(phrase);
        bool typedsolved = false;
        for (QString word : phrases::splitwords(phrase.toLower())) {
            word.replace(QChar(0x2019), QLatin1Char('\'')).replace(QChar(0x2018), QLatin1Char('\''));
            word.replace(QChar(0x201C), QLatin1Char('"')).replace(QChar(0x201D), QLatin1Char('"'));
            for (const judging::Step &step : judging::judge(upper, typedmask, words, text::asciiUpper(word)))
                typedsolved = typedsolved || step.kind == judging::Step::Solved;
        }
        QVERIFY2(typedsolved && typedmask == mask, qPrintable(phrase + QLatin1String(" -> ") + typedmask));
    }
    QVERIFY2(passing * 10 >= list.size() * 9,
             qPrintable(QStringLiteral("%1 of %2 pass the repeat test").arg(passing).arg(list.size())));
}

QTEST_APPLESS_MAIN(TestPhraseLists)
#include "tst_phraselists.moc"
