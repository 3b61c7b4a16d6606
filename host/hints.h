#pragma once

#include <QList>
#include <QString>

// Letter hints: while a phrase is drawn, the host shows one more of its letters at half and again at
// three quarters of the drawing time. No sockets, no widgets.
namespace hints {

// How many hints are due when the players' clock, which starts at the seconds per turn, shows
// `left` seconds: one once half the time has gone, two once three quarters have.
int due(int seconds, int left);

// The positions a hint may show: the hidden letters and digits of every word that keeps at least
// one more hidden character afterwards. So a hint never finishes a word, let alone the phrase, and
// the guessers still find every word themselves. The mask is the turn's: one "_" per hidden
// character, a space after every word.
QList<qsizetype> candidates(const QString &phrase, const QString &mask);

// The mask with the character at `pos` of the phrase shown.
QString reveal(const QString &phrase, const QString &mask, qsizetype pos);

} // namespace hints
