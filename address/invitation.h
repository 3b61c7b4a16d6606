#pragma once

#include <QString>

// Invitation links: "quillet://ADDRESS:PORT", handed to friends so a click opens the join dialog
// filled in. Building and reading them needs no socket and no window.
namespace invitation {

// "quillet"
inline constexpr QLatin1StringView scheme{"quillet"};
// Longer text is not read at all.
inline constexpr qsizetype maxLength = 300;

struct Link
{
    QString host; // a name, a dotted IPv4 address or an IPv6 address (without brackets)
    quint16 port = 0;
    QString error; // empty when the link reads
    bool ok() const { return error.isEmpty(); }
};

// The link of a game at this address and port; an IPv6 address goes in brackets.
QString build(const QString &address, quint16 port);
// The address of the game's web page at this address and its web port: "http://ADDRESS:PORT/".
QString webAddress(const QString &address, quint16 port);

// Whether the text is meant as a link (it begins with "quillet:", in any case), so a field that
// takes both addresses and links knows which reading to use.
bool isLink(const QString &text);

// Reads a link. Blanks around it and one trailing "/" (which browsers add) are allowed; a link
// without a port gets `defaultPort`. Anything else that is not exactly a host and a port gives an
// error text for the player and no host: a wrong scheme, no host, a bad port, a user name, a path,
// query or fragment, an address in a form that readers take differently ("010.1.1.1", "127.1").
Link parse(const QString &text, quint16 defaultPort = 7772);

} // namespace invitation
