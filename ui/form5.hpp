#pragma once
// The size dialog: the size per piece in KB, and the input file's size
// estimate on request.
#include "platform/window.hpp"

class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {

class Form5 : public DialogWindow {
    Q_OBJECT
public:
    Form5();

    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label2;
    QPushButton* Command2;
    QPushButton* Command1;

    void Command1_Click();
    void Command2_Click();
};

}  // namespace ui
