#include "platform/window.hpp"

#include <QCloseEvent>
#include <QIcon>
#include <QShowEvent>
#include <QTimer>

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

QIcon programIcon()
{
    registerResources();
    return QIcon(QStringLiteral(":/icon.xpm"));
}

Window::Window(Qt::WindowFlags flags) : QWidget(nullptr, flags)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(programIcon());
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

void refuseStatesNotOffered(QWidget* window, QEvent* event)
{
    if (event->type() != QEvent::WindowStateChange) return;
    Qt::WindowStates refused;
    if (!(window->windowFlags() & Qt::WindowMinimizeButtonHint)) refused |= Qt::WindowMinimized;
    // Full screen is a maximise without a frame.
    if (!(window->windowFlags() & Qt::WindowMaximizeButtonHint)) refused |= Qt::WindowMaximized | Qt::WindowFullScreen;
    if (!(window->windowState() & refused)) return;
    // Not from inside the window manager's own change. A window that was
    // minimised had the input: it gets it back.
    const bool minimised = window->windowState() & Qt::WindowMinimized & refused;
    QTimer::singleShot(0, window, [window, refused, minimised] {
        window->setWindowState(window->windowState() & ~refused);
        if (minimised) window->activateWindow();
    });
}

void Window::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    refuseStatesNotOffered(this, event);
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
