#pragma once

namespace errorbox {

// From now on the standard error box is a window-modal message box on screen (when the program
// has a screen): critical icon, the program's title, the text as plain text. It returns at once,
// and a box whose text is still open is not stacked. Safe to call more than once.
void useMessageBoxes();

} // namespace errorbox
