#pragma once
// Controls named as the windows call them and placed in twips.
#include <QLatin1String>
#include <QWidget>
#include <utility>

#include "platform/twips.hpp"

class QLabel;

namespace ui {

// What the platform's controls do unlike Qt's: a text field takes any
// length of text, a label draws its text from the top of its box.
void setUpControl(QWidget* control);

template <class Control, class... Args>
Control* control(QWidget* parent, const char* name, int left, int top, int width, int height, Args&&... args)
{
    auto* made = new Control(std::forward<Args>(args)..., parent);
    made->setObjectName(QLatin1String(name));
    placeTwips(made, left, top, width, height);
    setUpControl(made);
    return made;
}

// A label in "宋体" 9 points bold, on the window's own background.
QLabel* songtiLabel(QWidget* parent, const char* name, const QString& caption, int left, int top, int width,
                    int height);

}  // namespace ui
