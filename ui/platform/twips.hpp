#pragma once
// Layout figures are given in twips: 1440 to the inch, 15 to a pixel.
class QWidget;

namespace ui {

int px(int twips);

// Places a control in its parent's client area.
void placeTwips(QWidget* control, int left, int top, int width, int height);

}  // namespace ui
