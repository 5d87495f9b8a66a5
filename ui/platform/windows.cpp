#include "platform/windows.hpp"

#include "engine/file_slot.hpp"

namespace ui {

Windows& Windows::instance()
{
    static Windows windows;
    return windows;
}

QWidget* Windows::lookup(std::type_index type) const
{
    const auto it = windows_.find(type);
    return it == windows_.end() ? nullptr : it->second.data();
}

void Windows::store(std::type_index type, QWidget* window)
{
    windows_[type] = window;
}

void Windows::bringToFront(QWidget& window)
{
    // A minimised window counts as shown, and show() alone leaves it so.
    if (window.windowState() & Qt::WindowMinimized)
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

void Windows::forget(QWidget* window)
{
    auto& all = instance().windows_;
    for (auto it = all.begin(); it != all.end(); ++it) {
        if (it->second == window) {
            all.erase(it);
            return;
        }
    }
}

void Windows::endProgram()
{
    engine::FileSlot::instance().closeQuietly();
    auto& self = instance();
    const auto windows = std::move(self.windows_);
    self.windows_.clear();
    // The procedure that ends the program may belong to one of these
    // windows, so they go when the event loop next gets control; from now
    // on none of them is visible or reachable.
    for (const auto& [type, window] : windows) {
        if (window) {
            window->hide();
            window->deleteLater();
        }
    }
    emit self.programEnded();
}

}  // namespace ui
