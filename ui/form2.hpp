#pragma once
// The instructions window: a picture of the main window that says what its
// parts do, and an OK button back to the main window.
#include <QImage>

#include "platform/window.hpp"

class QPushButton;

namespace ui {

class Form2 : public Window {
    Q_OBJECT
public:
    Form2();

    // Painted at its own size from the top-left corner, under the button.
    QImage Picture;
    QPushButton* Command1;

    void Command1_Click();

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace ui
