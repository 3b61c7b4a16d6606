#include "features/windowplacement.h"

#include <algorithm>

namespace windowplacement {

QRect restored(int left, int top, int width, int height, const QSize &work)
{
    const int maxWidth = work.isEmpty() ? farthest : std::min(work.width(), farthest);
    const int maxHeight = work.isEmpty() ? farthest : std::min(work.height(), farthest);
    return QRect(std::clamp(left, -farthest, farthest), std::clamp(top, -farthest, farthest),
                 std::clamp(width, 0, maxWidth), std::clamp(height, 0, maxHeight));
}

} // namespace windowplacement
