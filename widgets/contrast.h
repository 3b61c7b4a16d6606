#pragma once

#include <QColor>

// Contrast between text and its background, as the web's accessibility guidelines measure it.
namespace contrast {

// From 1 (the same luminance) to 21 (black on white).
double ratio(const QColor &a, const QColor &b);

// The colour itself when it stands out from the background by at least `minimum`; otherwise the
// same hue darkened (on a light background) or lightened (on a dark one) just until it does.
QColor legible(const QColor &text, const QColor &background, double minimum = 4.5);

} // namespace contrast
