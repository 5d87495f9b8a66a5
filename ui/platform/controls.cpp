#include "platform/controls.hpp"

#include <QLabel>

#include "platform/fonts.hpp"

namespace ui {

QLabel* songtiLabel(QWidget* parent, const char* name, const QString& caption, int left, int top, int width,
                    int height)
{
    auto* label = control<QLabel>(parent, name, left, top, width, height, caption);
    label->setFont(songtiBold9());
    return label;
}

}  // namespace ui
