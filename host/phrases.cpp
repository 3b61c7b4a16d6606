#include "host/phrases.h"

#include "assets/assets.h"
#include "protocol/cp1252.h"
#include "protocol/text.h"

#include <array>
#include <optional>

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

bool passesrepeattest(const QString &original)
{
    // Guesses are judged against the phrase in upper case, so "Dog eat dog" repeats a word.
    const QString phrase = text::asciiUpper(original);
    qsizetype start = 0;
    while (start <= phrase.size()) {
        qsizetype space = phrase.indexOf(QLatin1Char(' '), start);
        if (space < 0)
            space = phrase.size();
        const QStringView word = QStringView(phrase).mid(start, space - start);
        if (!word.isEmpty() && space + 1 < phrase.size() &&
            QStringView(phrase).mid(space + 1).contains(word, Qt::CaseSensitive))
            return false;
        start = space + 1;
    }
    return true;
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
