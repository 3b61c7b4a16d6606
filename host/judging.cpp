#include "host/judging.h"

#include "protocol/text.h"

#include <QHash>
#include <QSet>
#include <utility>

namespace judging {

namespace {
const QChar space = QLatin1Char(' ');
}

QString plain(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        switch (c.unicode()) {
        case 0x2018: // single quotes, low and reversed
        case 0x2019:
        case 0x201A:
        case 0x201B:
        case 0x2032: // prime
            c = QLatin1Char('\'');
            continue;
        case 0x201C: // double quotes
        case 0x201D:
        case 0x201E:
        case 0x2033:
            c = QLatin1Char('"');
            continue;
        default:
            break;
        }
        // Only a capital the code page can carry: the host's texts are all in it.
        c = text::codepageUpper(c);
    }
    return out;
}

qsizetype findword(const QString &phrase, const QString &word)
{
    // A whole word wins over an earlier part of a longer word: "ME" in "COME DINE WITH ME".
    for (qsizetype at = word.isEmpty() ? -1 : phrase.indexOf(word); at >= 0;
         at = phrase.indexOf(word, at + 1)) {
        if (wholeword(phrase, at, word.size()))
            return at;
    }
    qsizetype i = phrase.indexOf(space + word + space);
    if (i >= 0)
        return i + 1;
    i = phrase.indexOf(word + space);
    if (i >= 0)
        return i;
    i = phrase.indexOf(space + word);
    if (i >= 0)
        return i + 1;
    return phrase.indexOf(word);
}

bool wholeword(const QString &phrase, qsizetype pos, qsizetype length)
{
    if (pos < 0 || pos + length > phrase.size())
        return false;
    const bool starts = pos == 0 || phrase.at(pos - 1) == space;
    const bool ends = pos + length == phrase.size() || phrase.at(pos + length) == space;
    return starts && ends;
}

bool checkforclose(const QString &w, const QString &phraseword)
{
    const QString c = plain(phraseword);
    if (w.isEmpty())
        return false;
    const QStringView stem = QStringView(w).chopped(1);
    const QChar last = w.back();
    auto is = [&c](QStringView head, QLatin1StringView tail) {
        return c.size() == head.size() + tail.size() && c.startsWith(head) && c.endsWith(tail);
    };
    return is(w, QLatin1StringView("ING")) || is(w, QLatin1StringView("S")) ||
           is(w, QLatin1StringView("ES")) || is(w, QLatin1StringView("ED")) ||
           is(w, QLatin1StringView("ER")) || is(w, QLatin1StringView("D")) || is(w, QLatin1StringView("R")) ||
           is(stem, QLatin1StringView("ING")) ||
           (c.size() == w.size() + 4 && c.startsWith(w) && c.at(w.size()) == last &&
            c.endsWith(QLatin1StringView("ING"))) ||
           is(stem, QLatin1StringView("IED")) || is(stem, QLatin1StringView("IES")) ||
           is(stem, QLatin1StringView(""));
}

namespace {
// A phrase as guesses are judged against it: its plain form, where each of its words first stands
// whole, and how many "_" the mask still holds, so that judging a word costs what the word costs,
// not what the phrase does.
class Judge
{
public:
    Judge(const QString &stored, QString &mask)
        : stored(stored), phrase(plain(stored)), mask(mask), hidden(mask.count(QLatin1Char('_')))
    {
        for (qsizetype start = 0; start <= phrase.size();) {
            qsizetype end = phrase.indexOf(space, start);
            if (end < 0)
                end = phrase.size();
            if (const QStringView w = QStringView(phrase).mid(start, end - start); !firstwhole.contains(w))
                firstwhole.insert(w, start);
            start = end + 1;
        }
    }

    // Judges a guess as judge() does; its steps go to `steps` when given. True when it solved.
    bool guess(const QString &typed, const phrases::PhraseWords &words, QList<Step> *steps)
    {
        const QString guess = plain(typed);
        auto closetest = [&](const QString &w) {
            for (int i = 0; i < closewords && steps; ++i) {
                if (!words[i].isEmpty() && checkforclose(w, words[i]))
                    steps->append({Step::Close, w});
            }
        };
        // A word given twice in one guess is judged once, and a word that was shown before the guess
        // is shown again once per guess: a long guess may not flood every player.
        QSet<QString> judged;
        bool repeated = false;
        qsizetype start = 0;
        while (start <= guess.size()) {
            qsizetype end = guess.indexOf(space, start);
            if (end < 0)
                end = guess.size();
            const QString w = guess.mid(start, end - start);
            start = end + 1;
            if (w.isEmpty() || judged.contains(w))
                continue;
            judged.insert(w);
            const auto whole = firstwhole.constFind(w);
            const qsizetype p = whole != firstwhole.cend() ? *whole : findword(phrase, w);
            if (p < 0) {
                closetest(w);
                continue;
            }
            if (!wholeword(phrase, p, w.size()) && !plain(mask).contains(space + w + space)) {
                closetest(w);
                continue;
            }
            const bool shown = plain(mask.mid(p, w.size())) == w;
            const QString revealed = stored.mid(p, w.size());
            hidden += revealed.count(QLatin1Char('_')) - QStringView(mask).mid(p, w.size()).count(QLatin1Char('_'));
            mask.replace(p, w.size(), revealed);
            if (hidden > 0) {
                if (shown && std::exchange(repeated, true))
                    continue;
                if (steps)
                    steps->append({Step::Revealed, mask});
                continue;
            }
            if (steps)
                steps->append({Step::Solved, mask});
            return true;
        }
        return false;
    }

private:
    const QString &stored;
    const QString phrase;
    QString &mask;
    qsizetype hidden;
    QHash<QStringView, qsizetype> firstwhole;
};

// Guesses the phrase word by word; the mask it ends with, and whether the last word solved it.
bool guessall(const QString &stored, const QStringList &guesses, QString &mask)
{
    const QString upper = text::asciiUpper(stored);
    const phrases::PhraseWords words = phrases::phrasewords(stored);
    mask = phrases::sortphrase(stored);
    Judge judge(upper, mask);
    bool solved = false;
    for (const QString &word : guesses)
        solved = judge.guess(text::asciiUpper(word), words, nullptr) || solved;
    return solved && !mask.contains(QLatin1Char('_'));
}
} // namespace

QList<Step> judge(const QString &stored, QString &mask, const phrases::PhraseWords &words,
                  const QString &typed)
{
    QList<Step> steps;
    Judge(stored, mask).guess(typed, words, &steps);
    return steps;
}

bool solvable(const QString &phrase)
{
    QString mask;
    if (!guessall(phrase, phrases::splitwords(text::asciiUpper(phrase)), mask))
        return false;
    // As a keyboard types it: a space for a no-break space, nothing for a soft hyphen.
    QString keyed = phrase.toLower();
    keyed.replace(QChar(0xA0), space).remove(QChar(0xAD));
    QStringList typed = phrases::splitwords(keyed);
    for (QString &word : typed) {
        word.replace(QChar(0x2019), QLatin1Char('\'')).replace(QChar(0x2018), QLatin1Char('\''));
        word.replace(QChar(0x201C), QLatin1Char('"')).replace(QChar(0x201D), QLatin1Char('"'));
    }
    QString typedmask;
    return guessall(phrase, typed, typedmask) && typedmask == mask;
}

Win wintest(const std::array<int, 16> &scores, int highslot, int winscore, bool teamgame)
{
    highslot = qBound(0, highslot, 15);
    bool reached = false;
    for (int n = 1; n <= highslot; ++n)
        reached = reached || scores[n] >= winscore;
    if (!reached)
        return {};
    if (teamgame)
        return {scores[1] > scores[2] ? Win::Black : Win::Maroon, 0};
    int leader = 1;
    for (int n = 2; n <= highslot; ++n) {
        if (scores[n] > scores[leader])
            leader = n;
    }
    for (int n = 1; n <= highslot; ++n) {
        if (n != leader && scores[n] == scores[leader])
            return {};
    }
    return {Win::Player, leader};
}

} // namespace judging
