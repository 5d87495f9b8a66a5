#pragma once
// The About window: the credits over a picture; only its close box ends it.
#include "platform/window.hpp"

class QLabel;

namespace ui {

class Form6 : public DialogWindow {
    Q_OBJECT
public:
    Form6();

    QLabel* Label1;  // the credits, red on the picture
    QLabel* Image1;  // the picture, stretched to its rectangle
};

}  // namespace ui
