#pragma once
#include <xcb/xcb.h>

namespace ui {

// The atom of that name; XCB_ATOM_NONE when it cannot be had (or, with
// onlyIfExists, when no client has made it yet).
xcb_atom_t x11Atom(xcb_connection_t* c, const char* name, bool onlyIfExists = false);

// Whether the window's atom-list property holds the value.
bool holdsAtom(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t value);

}  // namespace ui
