#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

// Phrases as the host deals them out: word lists, masks and the repeat test. No sockets, no widgets.
namespace phrases {

// Number of categories, and the resource file of each (":/phrases/<file>").
constexpr int categories = 7;
QString listfile(int category);
// The category's name as the players' buttons show it: General, Actions, ... Food & Drink.
QString categoryname(int category);

// Words of a phrase kept for the close test; words past the 20th are dropped.
constexpr int maxwords = 20;
using PhraseWords = std::array<QString, maxwords>;

// The words of a phrase, split at each single space: two neighbouring spaces give an empty word,
// a trailing space an empty last word. Nothing is trimmed.
QStringList splitwords(const QString &phrase);

// The first 20 words of the phrase as stored (case kept); entries past the last word are empty.
PhraseWords phrasewords(const QString &phrase);

// The mask of a phrase: one "_" per letter or digit of every word (and per character that cannot
// be seen), every other character (an apostrophe, a hyphen, a full stop) as itself, then one space
// after every word. Position k of the mask stands under position k of the phrase.
QString sortphrase(const QString &phrase);

// The repeat test: a phrase is rejected when one of its words occurs again (also inside a longer
// word, in any case of the letters A-Z) in the part of the phrase after that word. Empty words
// never reject.
bool passesrepeattest(const QString &phrase);

// One phrase list as stored in its file: Windows-1252, one phrase per line. A final empty line and
// a carriage return at the end of a line are dropped; nothing else is trimmed.
QStringList parselist(const QByteArray &bytes);

// The shipped list of a category, read from the program's resources; empty when absent.
QStringList shippedlist(int category);

} // namespace phrases
