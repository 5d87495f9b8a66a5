#pragma once
// Starting and ending the real program inside a test, and the user's ways of
// closing a window and choosing a menu item.
class QAction;
class QMenu;
class QString;
class QWidget;

namespace uitest {

// Starts the program as main() does and waits for the main window to be
// active.
void startProgram();
// Ends it (as the exit button does) when it is still running, and lets the
// destroyed windows go.
void endProgram();
// Lets queued window-system events and deferred deletions run.
void settle();
// Brings the window to the front and makes it active.
void activate(QWidget* window);
// The window's close box.
void closeBox(QWidget* window);
// Clicks the menu's title on the main window's bar, then the item.
void chooseMenuItem(QMenu* menu, QAction* item);
// Types the text into the widget: Latin-1 by keys, anything else as an
// input method commits it.
void typeText(QWidget* widget, const QString& text);
// Presses and releases one key in the widget that has the focus.
void pressKey(int key);

}  // namespace uitest
