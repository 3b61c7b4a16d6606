// The seven phrase lists that ship with the program, as the host loads them.
#include "host/phrases.h"

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
        passing += phrases::passesrepeattest(phrase) ? 1 : 0;
    }
    QVERIFY2(passing * 10 >= list.size() * 9,
             qPrintable(QStringLiteral("%1 of %2 pass the repeat test").arg(passing).arg(list.size())));
}

QTEST_APPLESS_MAIN(TestPhraseLists)
#include "tst_phraselists.moc"
