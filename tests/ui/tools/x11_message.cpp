// x11_message: the client messages the X11 test scripts send as a window
// manager or a pager would.
//   x11_message state WINDOW add|remove ATOM  asks the window manager to change
//                                            the window's _NET_WM_STATE
//   x11_message ping WINDOW                  sends _NET_WM_PING and waits for
//                                            the answer: the program has then
//                                            taken every event sent before
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return found;
}

void send(xcb_connection_t* c, xcb_window_t to, xcb_window_t window, xcb_atom_t type, uint32_t mask,
          const uint32_t (&data)[5])
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::memcpy(message.data.data32, data, sizeof data);
    xcb_send_event(c, 0, to, mask, reinterpret_cast<const char*>(&message));
    xcb_flush(c);
}

int usage()
{
    std::fprintf(stderr, "usage: x11_message state WINDOW add|remove ATOM | ping WINDOW\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return usage();
    const std::string command = argv[1];
    const auto window = static_cast<xcb_window_t>(std::strtoul(argv[2], nullptr, 0));
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "x11_message: cannot open the display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    if (command == "state" && argc == 5) {
        const uint32_t action = std::string(argv[3]) == "add" ? 1 : 0;
        const uint32_t data[5] = {action, atom(c, argv[4]), 0, 1, 0};
        send(c, root, window, atom(c, "_NET_WM_STATE"), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT |
             XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY, data);
        // A round trip: the server has sent the request on before we leave.
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        xcb_disconnect(c);
        return 0;
    }
    if (command != "ping" || argc != 3) return usage();
    // The answer comes back to the root window.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t ping = atom(c, "_NET_WM_PING");
    const uint32_t data[5] = {ping, XCB_CURRENT_TIME, window, 0, 0};
    send(c, window, window, atom(c, "WM_PROTOCOLS"), XCB_EVENT_MASK_NO_EVENT, data);
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            const bool answer = (event->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
                                reinterpret_cast<xcb_client_message_event_t*>(event)->data.data32[0] == ping &&
                                reinterpret_cast<xcb_client_message_event_t*>(event)->data.data32[2] == window;
            std::free(event);
            if (answer) {
                xcb_disconnect(c);
                return 0;
            }
        }
        if (xcb_connection_has_error(c) || poll(&fd, 1, 10000) <= 0) {
            std::fprintf(stderr, "x11_message: no answer to the ping from window 0x%x\n", window);
            return 1;
        }
    }
}
