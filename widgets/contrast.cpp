#include "widgets/contrast.h"

#include <algorithm>
#include <cmath>

namespace contrast {

namespace {

double luminance(const QColor &c)
{
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// The colour moved a share `t` (0 to 1) of the way towards black or white.
QColor towards(const QColor &c, bool darker, double t)
{
    const auto move = [&](int v) { return qRound(darker ? v * (1 - t) : v + (255 - v) * t); };
    return QColor(move(c.red()), move(c.green()), move(c.blue()));
}

} // namespace

double ratio(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor legible(const QColor &text, const QColor &background, double minimum)
{
    if (ratio(text, background) >= minimum)
        return text;
    // Towards black on a background that contrasts more with black than with white, else towards
    // white; the least move that reaches the ratio keeps the colour as near the one asked for as
    // it can be.
    const bool darker = luminance(background) > std::sqrt(1.05 * 0.05) - 0.05;
    double low = 0, high = 1;
    for (int step = 0; step < 20; ++step) {
        const double mid = (low + high) / 2;
        (ratio(towards(text, darker, mid), background) >= minimum ? high : low) = mid;
    }
    return towards(text, darker, high);
}

} // namespace contrast
