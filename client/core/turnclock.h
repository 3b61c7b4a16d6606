#pragma once

#include <QString>

// The arithmetic of the turn display: clock captions and the length of the time bar.
namespace turnclock {

// What the clock counts: the pause between turns, or a drawing turn.
enum class Mode { pause, drawing };

// "M:SS": minutes, then the seconds with two digits (125 -> "2:05", 9 -> "0:09").
QString clockText(int seconds);

// "Time Per Turn: M:SS".
QString timePerTurnText(int seconds);

// The picker's countdown under the categories: "9 seconds to choose", "1 second to choose"; once
// none are left, the host picks.
QString pickText(int seconds);

// The width of the time bar after a tick that left `seconds`. A pause is ten pixels a second; a
// drawing turn stays at 100 until the seconds fall to 100, then follows them,
// closing a larger gap two pixels a tick. Never below 0.
int barWidth(Mode mode, int seconds, int currentWidth);

} // namespace turnclock
