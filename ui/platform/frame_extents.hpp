#pragma once
// The frame the window manager will draw around a window, known before the
// window is first mapped, so that the whole frame can be placed.
#include <QMargins>

class QWidget;

namespace ui {

// Left, top, right, bottom: for a window shown before, the frame it had;
// otherwise asked of the window manager (_NET_REQUEST_FRAME_EXTENTS). None
// where the platform draws no frame or the window manager does not say.
QMargins frameExtents(QWidget* window);

}  // namespace ui
