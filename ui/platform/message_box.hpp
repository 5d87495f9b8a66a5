#pragma once
#include <QString>

#include "engine/settings.hpp"

namespace ui {

// Modal, titled "提示", information icon, one button "确定"; returns when
// the user has closed it.
void messageBox(const QString& text);

// The same box, for the engine's messages.
engine::MessageBox engineMessageBox();

}  // namespace ui
