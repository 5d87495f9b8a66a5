#pragma once
// A double-click whose first click hides, shows or destroys a window must
// not let its second press land in another window of the program: the
// count dialog's "确定" lies over the main window's "退出".

namespace ui {

// Installs, once, the filter that drops the second press of a double-click
// (with its release and double-click event) when it would reach another
// top-level window than the first.
void keepDoubleClicksInOneWindow();

}  // namespace ui
