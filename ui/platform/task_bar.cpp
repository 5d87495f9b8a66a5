#include "platform/task_bar.hpp"

#include <QGuiApplication>
#include <QWidget>
#include <xcb/xcb.h>

#include "platform/x11_atoms.hpp"

namespace ui {

void keepOffTaskBar(QWidget* window)
{
    // Other platforms (the offscreen one may offer this interface too,
    // without a connection) have no task bar to keep off.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c) return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t state = x11Atom(c, "_NET_WM_STATE");
    const xcb_atom_t skip = x11Atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    if (state == XCB_ATOM_NONE || skip == XCB_ATOM_NONE || holdsAtom(c, id, state, skip)) return;
    // Qt keeps what it finds in this property when it maps the window.
    xcb_change_property(c, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1, &skip);
    xcb_flush(c);
}

}  // namespace ui
