#pragma once

#include <QString>

namespace strokecheck {

// The payload of a stroke message (CMD_moveit or CMD_draw) reads the way every player reads it:
// slot, colour, width, then the point (CMD_moveit) or every point of the list (CMD_draw).
bool reads(const QString &word, const QString &payload);

} // namespace strokecheck
