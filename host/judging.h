#pragma once

#include "host/phrases.h"

#include <QList>
#include <QString>
#include <array>

// Judging a guess against the phrase of a turn, and the win test. No sockets, no widgets.
namespace judging {

// Where a guessed word stands in the phrase, as a 0-based index; -1 when it is nowhere. The first
// occurrence that is a whole word wins; without one, tried in order: the word before a space, the
// word after a space, the word anywhere (inside a longer word).
qsizetype findword(const QString &phrase, const QString &word);

// The text of the given length at pos begins the phrase or follows a space, and ends the phrase
// or is followed by a space.
bool wholeword(const QString &phrase, qsizetype pos, qsizetype length);

// Text as guesses are judged: typographic quotes and apostrophes become the plain ones a keyboard
// types, and every letter whose capital the code page holds is upper-cased (n with tilde too).
// One character stays one character, so positions in the result are positions in the text.
QString plain(const QString &text);

// The guessed word w is another form of the phrase word c (c is compared in upper case): c is w
// with ING, S, ES, ED, ER, D or R added, w without its last letter plus ING, w with its last letter
// doubled plus ING, w without its last letter plus IED or IES, or w without its last letter.
bool checkforclose(const QString &w, const QString &c);

// Only the first 15 words of a phrase are ever looked at by the close test.
constexpr int closewords = 15;

// What one guess did, in the order it happened.
struct Step
{
    enum Kind {
        Revealed, // a word was shown; text is the new mask, which still hides something
        Close,    // text is a guessed word close to one word of the phrase (one step per such word)
        Solved,   // the last hidden word fell; text is the complete mask
    };
    Kind kind;
    QString text;
    bool operator==(const Step &) const = default;
};

// Judges a guess word by word against the phrase, revealing words in the mask. Both are compared in
// their plain() forms; a revealed word shows in the mask as the phrase has it. Stops at the word that solves
// the phrase. Empty words are skipped, and a word given again in the same guess too. A word shown before the
// guess gives one Revealed step for the whole guess, however many such words it holds.
QList<Step> judge(const QString &phrase, QString &mask, const phrases::PhraseWords &words,
                  const QString &guess);

// The phrase as stored can be found by typing it: guessed word by word, as upper-case words and
// again as a keyboard types them (small letters, plain apostrophes and quotes, a space for a no-break
// space, nothing for a soft hyphen), the last word solves it and the mask shows the phrase as stored.
bool solvable(const QString &phrase);

// The win test over the scores of slots 1..highslot (scores[n] is slot n; scores[0] unused).
struct Win
{
    enum Kind { None, Black, Maroon, Player };
    Kind kind = None;
    int slot = 0; // the winning player's slot
    bool operator==(const Win &) const = default;
};
Win wintest(const std::array<int, 16> &scores, int highslot, int winscore, bool teamgame);

} // namespace judging
