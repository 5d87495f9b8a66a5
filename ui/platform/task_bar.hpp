#pragma once
class QWidget;

namespace ui {

// Asks the window manager to give the window no task-bar button. Call it
// before each mapping of the window; elsewhere than on X11 it does nothing.
void keepOffTaskBar(QWidget* window);

}  // namespace ui
