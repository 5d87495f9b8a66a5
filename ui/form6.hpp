#pragma once
// The About window.
#include "platform/window.hpp"

namespace ui {

class Form6 : public DialogWindow {
    Q_OBJECT
public:
    Form6();
};

}  // namespace ui
