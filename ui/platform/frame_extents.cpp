#include "platform/frame_extents.hpp"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <xcb/xcb.h>

#include "platform/x11_atoms.hpp"

namespace ui {
namespace {

// The window's _NET_FRAME_EXTENTS, when set.
bool readExtents(xcb_connection_t* c, xcb_window_t window, xcb_atom_t extents, QMargins& margins)
{
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr);
    const bool found = reply && reply->format == 32 && xcb_get_property_value_length(reply) == 16;
    if (found) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        margins = QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));  // left, right, top, bottom
    }
    std::free(reply);
    return found;
}

}  // namespace

QMargins frameExtents(QWidget* window)
{
    const QMargins known = window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
    if (!known.isNull() || QGuiApplication::platformName() != QLatin1String("xcb")) return known;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c) return known;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t extents = x11Atom(c, "_NET_FRAME_EXTENTS", true);
    const xcb_atom_t request = x11Atom(c, "_NET_REQUEST_FRAME_EXTENTS", true);
    QMargins margins;
    if (extents == XCB_ATOM_NONE || request == XCB_ATOM_NONE ||
        !holdsAtom(c, root, x11Atom(c, "_NET_SUPPORTED", true), request))
        return known;
    if (readExtents(c, id, extents, margins)) return margins;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
    // The window manager answers at once; one that is stuck gets no more
    // than a moment, and the box then opens without its frame counted.
    const QDeadlineTimer deadline(300);
    while (!readExtents(c, id, extents, margins)) {
        if (deadline.hasExpired()) return known;
        QThread::usleep(1000);
    }
    return margins;
}

}  // namespace ui
