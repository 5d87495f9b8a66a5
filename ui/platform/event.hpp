#pragma once
#include <functional>

class QWidget;

namespace ui {

// Runs one event procedure of a window: by default of the window that is
// active as it starts, where the user clicked or typed. A run-time error ends
// it, and every procedure it called, with a message; the file slot is freed
// and the program goes on.
void runEvent(const std::function<void()>& procedure, QWidget* window = nullptr) noexcept;

// The window whose event procedure is running (the innermost one when they
// nest), or nullptr between events.
QWidget* runningWindow();

}  // namespace ui
