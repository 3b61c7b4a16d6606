// The check of a host's own phrase file before it listens: the time per MB for a file of phrases as
// long as a message carries, against the same size in three-word phrases, in the same run. Every
// phrase passes, so every one is checked whole; the check is linear when the two are alike.
#include "host/phrasefile.h"

#include <QElapsedTimer>
#include <QTest>
#include <cstdio>

namespace {

// A five-letter word of its own for each number: no word stands inside another.
QByteArray word(int n)
{
    QByteArray w("A");
    for (int i = 0; i < 4; ++i, n /= 26)
        w += char('A' + n % 26);
    return w;
}

QByteArray file(qsizetype bytes, qsizetype phraseLength)
{
    QByteArray out;
    int n = 0;
    while (out.size() < bytes) {
        QByteArray phrase = word(n++);
        while (phrase.size() + 6 <= phraseLength)
            phrase += ' ' + word(n++);
        out += phrase + '\n';
    }
    return out;
}

double msPerMb(const QByteArray &bytes)
{
    QElapsedTimer t;
    t.start();
    const phrasefile::Lists lists = phrasefile::parse(bytes);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (!lists.ok())
        std::printf("refused: %s\n", qPrintable(lists.error));
    return lists.ok() ? ms / (double(bytes.size()) / (1024 * 1024)) : -1;
}

} // namespace

class BenchPhraseFile : public QObject
{
    Q_OBJECT
private slots:
    void longPhrases()
    {
        const double shortCost = msPerMb(file(2 * 1024 * 1024, 17));
        const double longCost = msPerMb(file(2 * 1024 * 1024, phrasefile::maxlength()));
        QVERIFY(shortCost > 0 && longCost > 0);
        std::printf("figure: phrase-file check: %.0f ms per MB of the longest phrases, %.0f ms per MB of "
                    "three-word phrases (long/short %.2f, at most 3)\n",
                    longCost, shortCost, longCost / shortCost);
        QVERIFY(longCost / shortCost <= 3);
    }
};

QTEST_APPLESS_MAIN(BenchPhraseFile)
#include "bench_phrasefile.moc"
