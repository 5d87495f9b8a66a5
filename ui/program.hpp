#pragma once

namespace ui {

// Creates the main window, whose load procedure shows it.
void startProgram();

}  // namespace ui
