#pragma once
// The instructions window.
#include "platform/window.hpp"

class QPushButton;

namespace ui {

class Form2 : public Window {
    Q_OBJECT
public:
    Form2();

    QPushButton* Command1;

    void Command1_Click();
};

}  // namespace ui
