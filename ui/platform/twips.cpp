#include "platform/twips.hpp"

#include <QWidget>
#include <cmath>

namespace ui {

int px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

void placeTwips(QWidget* control, int left, int top, int width, int height)
{
    control->setGeometry(px(left), px(top), px(width), px(height));
}

}  // namespace ui
