#pragma once

#include "host/phrases.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

// The host's own phrases, from a text file in place of the lists that ship with the program.
//
// The file is UTF-8, one phrase a line. A heading such as [Movies] puts the lines below it into that
// category (the names the players' buttons show, in any case; "and" for "&" too). Lines before the
// first heading go into every category that has none of its own. Blank lines and lines that begin
// with # are skipped; spaces and tabs around a phrase are dropped, and a no-break space is a space.
//
// A file is taken whole or not at all: the first line that cannot be used refuses it, and the
// refusal names that line.
namespace phrasefile {

// Files larger than this are refused unread.
constexpr qint64 maxbytes = 8 * 1024 * 1024;

struct Lists
{
    std::array<QStringList, phrases::categories> lists;
    // Empty when the file can be used; else why not, beginning "line N: " where a line is to blame.
    QString error;
    // The line to blame, 0 when none is.
    int line = 0;
    bool ok() const { return error.isEmpty(); }
};

// The longest phrase every message that carries it (the mask, the drawer's phrase, the answer with
// the scores) still fits into.
qsizetype maxlength();

// Why one phrase cannot be played, empty when it can: too long for the wire, a character the wire's
// code page lacks or one that shows nothing (a control character, a soft hyphen), a word that comes again (the host never deals such a phrase), or a phrase that
// typing it does not solve.
QString problem(const QString &phrase);

Lists parse(const QByteArray &bytes);
Lists load(const QString &path);

} // namespace phrasefile
