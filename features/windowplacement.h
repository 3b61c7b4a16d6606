#pragma once

#include <QRect>
#include <QSize>

namespace windowplacement {

// Positions stay within this distance of the desktop's origin: far enough for any real desktop,
// near enough that a position plus a size never leaves the range of int.
constexpr int farthest = 16777215;

// The main window's bounds as read from the settings file, made safe to apply: the size no larger
// than the work area (any size when the work area is unknown, i.e. empty) and never negative, the
// position limited to +-farthest. A window saved off-screen may still come back off-screen.
QRect restored(int left, int top, int width, int height, const QSize &work);

} // namespace windowplacement
