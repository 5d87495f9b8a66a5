#include "platform/window.hpp"

#include <QCloseEvent>
#include <QIcon>
#include <QShowEvent>

#include "platform/task_bar.hpp"
#include "platform/twips.hpp"
#include "platform/windows.hpp"

// The resources live in a static library: nothing references them, so they
// must be registered by hand.
static void registerResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace ui {

Window::Window(Qt::WindowFlags flags) : QWidget(nullptr, flags)
{
    registerResources();
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/icon.xpm")));
}

void Window::placeClient(int left, int top, int width, int height)
{
    placeTwips(this, left, top, width, height);
}

void Window::placeFixedClient(int left, int top, int width, int height)
{
    placeClient(left, top, width, height);
    setFixedSize(px(width), px(height));
}

void Window::closeEvent(QCloseEvent* event)
{
    Windows::forget(this);
    event->accept();
}

DialogWindow::DialogWindow() : Window(kDialogFlags) {}

void DialogWindow::showEvent(QShowEvent* event)
{
    // Sent before the window is mapped: the window manager must find the
    // request then, each time, as it drops it while the window is hidden.
    if (!event->spontaneous()) keepOffTaskBar(this);
    Window::showEvent(event);
}

}  // namespace ui
