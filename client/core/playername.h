#pragma once

#include <QString>

// What a player may call himself: the join and host dialogs and the command line all ask here
// before a connection is made.
namespace playername {

constexpr int maxLength = 20;

// The name would look like an empty seat on every copy: blank once trimmed, or the empty seat's
// own text. The command line refuses only these; the dialogs ask problem().
QString seatproblem(const QString &name);
// Why the name cannot be used (empty when it can): nothing but blanks, too long, a character the
// wire or the seat panel would misread, or the text that marks an empty seat.
QString problem(const QString &name);

} // namespace playername
