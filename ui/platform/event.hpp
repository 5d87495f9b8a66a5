#pragma once
#include <functional>

namespace ui {

// Runs one event procedure. A run-time error ends it, and every procedure it
// called, with a message; the file slot is freed and the program goes on.
void runEvent(const std::function<void()>& procedure) noexcept;

}  // namespace ui
