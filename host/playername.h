#pragma once

#include <QString>

namespace playername {

// A name the table can show: not empty once trimmed, and not the empty seat's "<Waiting>" (in any
// case of its letters, blanks around it or not), which would pass the player off as an empty seat.
bool seatable(const QString &name);

} // namespace playername
