#include "host/phrases.h"

#include "assets/assets.h"
#include "protocol/cp1252.h"
#include "protocol/text.h"

#include <array>
#include <optional>
#include <vector>

namespace phrases {

QString listfile(int category)
{
    static const char *const files[categories] = {"general.txt",     "actions.txt", "phrase.txt",
                                                  "musicgroups.txt", "movies.txt",  "tvshows.txt",
                                                  "food.txt"};
    if (category < 0 || category >= categories)
        return {};
    return QStringLiteral("phrases/") + QLatin1String(files[category]);
}

QString categoryname(int category)
{
    static const char *const names[categories] = {"General", "Actions",  "Phrase",      "Music Groups",
                                                  "Movies",  "TV Shows", "Food & Drink"};
    if (category < 0 || category >= categories)
        return {};
    return QLatin1String(names[category]);
}

QStringList splitwords(const QString &phrase)
{
    return phrase.split(QLatin1Char(' '), Qt::KeepEmptyParts);
}

PhraseWords phrasewords(const QString &phrase)
{
    PhraseWords words;
    qsizetype start = 0;
    for (int i = 0; i < maxwords; ++i) {
        const qsizetype space = phrase.indexOf(QLatin1Char(' '), start);
        if (space < 0) {
            words[i] = phrase.mid(start);
            break;
        }
        words[i] = phrase.mid(start, space - start);
        start = space + 1;
    }
    return words;
}

QString sortphrase(const QString &phrase)
{
    QString mask = phrase + QLatin1Char(' ');
    for (qsizetype i = 0; i < phrase.size(); ++i) {
        const QChar c = phrase.at(i);
        // Punctuation helps the guessers and stands as itself; what cannot be seen (a tab, a
        // control character) is hidden like a letter.
        if (c != QLatin1Char(' ') && (c.isLetterOrNumber() || !c.isPrint() || c.isSpace()))
            mask[i] = QLatin1Char('_');
    }
    return mask;
}

namespace {
// Whether a string occurs in a text given a character at a time from its end (a suffix automaton
// of the text read backwards): each character and each look-up costs the same however long the
// text has grown.
class TextFromTheEnd
{
public:
    explicit TextFromTheEnd(qsizetype length) { states.reserve(size_t(2 * length + 1)); states.emplace_back(); }
    // The text now begins with c.
    void prepend(QChar c)
    {
        const int cur = int(states.size());
        states.push_back({states[size_t(last)].length + 1, -1, {}});
        int p = last;
        for (; p >= 0 && next(p, c) < 0; p = states[size_t(p)].link)
            states[size_t(p)].next.push_back({c, cur});
        if (p < 0) {
            states[size_t(cur)].link = 0;
        } else if (const int q = next(p, c); states[size_t(p)].length + 1 == states[size_t(q)].length) {
            states[size_t(cur)].link = q;
        } else {
            const int clone = int(states.size());
            State copy = states[size_t(q)];
            copy.length = states[size_t(p)].length + 1;
            states.push_back(std::move(copy));
            for (; p >= 0 && next(p, c) == q; p = states[size_t(p)].link)
                for (auto &[ch, to] : states[size_t(p)].next)
                    if (ch == c)
                        to = clone;
            states[size_t(q)].link = states[size_t(cur)].link = clone;
        }
        last = cur;
    }
    bool contains(QStringView s) const
    {
        int at = 0;
        for (qsizetype i = s.size() - 1; i >= 0 && at >= 0; --i)
            at = next(at, s[i]);
        return at >= 0;
    }

private:
    struct State
    {
        int length = 0, link = -1;
        std::vector<std::pair<QChar, int>> next;
    };
    int next(int state, QChar c) const
    {
        for (const auto &[ch, to] : states[size_t(state)].next)
            if (ch == c)
                return to;
        return -1;
    }
    std::vector<State> states;
    int last = 0;
};
} // namespace

bool passesrepeattest(const QString &original)
{
    // Guesses are judged against the phrase in upper case, so "Dog eat dog" repeats a word.
    const QString phrase = text::asciiUpper(original);
    // The words from the last to the first, each against the text after it, read so far.
    TextFromTheEnd after(phrase.size());
    qsizetype read = phrase.size();
    for (qsizetype end = phrase.size();;) {
        qsizetype start = end;
        while (start > 0 && phrase.at(start - 1) != QLatin1Char(' '))
            --start;
        while (read > end + 1)
            after.prepend(phrase.at(--read));
        if (start < end && end + 1 < phrase.size() && after.contains(QStringView(phrase).mid(start, end - start)))
            return false;
        if (start == 0)
            return true;
        end = start - 1;
    }
}

QStringList parselist(const QByteArray &bytes)
{
    QStringList lines = cp1252::decode(bytes).split(QLatin1Char('\n'), Qt::KeepEmptyParts);
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

QStringList shippedlist(int category)
{
    if (category < 0 || category >= categories)
        return {};
    // The lists are part of the program: read once, then shared by every game.
    static std::array<std::optional<QStringList>, categories> read;
    std::optional<QStringList> &list = read[size_t(category)];
    if (!list)
        list = parselist(assets::load(listfile(category)));
    return *list;
}

} // namespace phrases
