#pragma once

// Fixed measures of the main window's board that more than one place needs.
namespace tchatgeometry {

// The board: one fixed panel, centred on the tiled background.
constexpr int boardWidth = 789;
constexpr int boardHeight = 542;
// The client area never gets smaller than the board and its border.
constexpr int border = 3;
constexpr int minClientWidth = boardWidth + border;
constexpr int minClientHeight = boardHeight + border;
// The answer lines' type size; the mask line adds air between its letters.
constexpr int answerPixels = 19;
constexpr int answerSpacing = 3;
// The score panel's rows, seats 1..10: the names and the scores.
constexpr int nameRowY[11] = {0, 19, 36, 53, 70, 87, 103, 120, 137, 154, 171};
constexpr int scoreRowY[11] = {0, 18, 35, 51, 68, 85, 101, 118, 135, 151, 168};

} // namespace tchatgeometry
