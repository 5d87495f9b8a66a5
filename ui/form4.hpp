#pragma once
// The character-count dialog: the characters per piece, and the input
// file's character count on request.
#include "platform/window.hpp"

class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {

class Form4 : public DialogWindow {
    Q_OBJECT
public:
    Form4();

    QLabel* Label3;
    QLineEdit* Text3;
    QPushButton* Command2;
    QPushButton* Command1;

    void Command1_Click();
    void Command2_Click();
};

}  // namespace ui
