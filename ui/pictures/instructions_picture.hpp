#pragma once
// The instructions window's picture: the main window as the user knows it,
// with five callouts that say what its parts do.
#include <QImage>

namespace ui {

// 699 by 553 pixels on white, drawn at the first call. Draws a main window
// of its own, never shown, so the program's main window is left as it is.
const QImage& instructionsPicture();

}  // namespace ui
