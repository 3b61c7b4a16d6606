#pragma once

#include <QString>
#include <QStringList>

// The phrase buttons' texts: what each one says before the settings file or the editor change it,
// and what a phrase becomes as an action line.
namespace quickphrases {

inline constexpr int count = 9;

// The nine built-in phrases, button 1 first.
QStringList builtin();

// The text of the action line a phrase sends: a phrase that begins with exactly "/me" loses its
// first four characters (the "/me" and the one after it, whatever that is); any other phrase
// follows "says: ". Characters that cannot travel are replaced.
QString actiontext(const QString &phrase);

// The hint a phrase button shows: the phrase as typed, never read as markup ("<b>x</b>" shows its
// tags).
QString tooltip(const QString &phrase);

} // namespace quickphrases
