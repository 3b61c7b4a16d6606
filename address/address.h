#pragma once

#include <QString>

// A host's address as a player types it: a name or dotted address, optionally ":port".
namespace address {

struct Target
{
    QString host;
    QString port;
    QString error; // empty when the text reads
};

// Splits "host:port"; without a port the default is used. A bad port gives an error text. The
// host part is not checked here: looking it up says whether it exists.
Target split(const QString &text, const QString &defaultPort);

// The stricter check of a join dialog: an empty text or one with blanks or other characters that
// no host name has gives an error text too.
Target check(const QString &text, const QString &defaultPort);

} // namespace address
