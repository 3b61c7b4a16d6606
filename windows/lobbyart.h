#pragma once

#include <QPixmap>

// The two pictures of the small start-up windows, painted once from fixed shapes.
namespace lobbyart {

// Parchment with a few loose drawing strokes: the about window's background, 202 x 203.
QPixmap aboutPicture();
// A shut door with an empty sign board above it for the "IS CLOSED" caption: 436 x 360. The sign
// board's free area is signArea().
QPixmap closedPicture();
QRect signArea();

} // namespace lobbyart
