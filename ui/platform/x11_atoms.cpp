#include "platform/x11_atoms.hpp"

#include <cstdlib>
#include <cstring>

namespace ui {

xcb_atom_t x11Atom(xcb_connection_t* c, const char* name, bool onlyIfExists)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, onlyIfExists ? 1 : 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return found;
}

bool holdsAtom(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t value)
{
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_ATOM_ATOM, 0, 4096), nullptr);
    bool found = false;
    if (reply && reply->format == 32) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i) found = found || atoms[i] == value;
    }
    std::free(reply);
    return found;
}

}  // namespace ui
