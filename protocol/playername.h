#pragma once

#include <QString>

// What a player may call himself. The host refuses at login a name the table cannot show; the
// join and host dialogs and the command line ask here before a connection is made.
namespace playername {

// What every copy shows in a seat nobody holds.
inline const QString emptyseat = QStringLiteral("<Waiting>");
constexpr int maxLength = 20;

// A name the table can show: not empty once trimmed and rid of what shows nothing (soft hyphens,
// control characters), and then not the empty seat's text (in any case, blanks around it or not),
// which would pass the player off as nobody.
bool seatable(const QString &name);
// Why a name is not seatable (empty when it is).
QString seatproblem(const QString &name);
// Why the dialogs will not take the name (empty when they do): not seatable, too long, or a
// character the wire or the seat panel would misread.
QString problem(const QString &name);
// Why the host refuses a login's name (empty when it does not), whatever the connection: the
// dialogs' rule, but for "+" and the end marker, which arrive safe at the host (the marker as "?")
// and which copies started from the command line may send.
QString loginproblem(const QString &name);
// A name for a log line: at most twice the longest a name may be, what shows nothing as "?".
QString shown(const QString &name);

} // namespace playername
