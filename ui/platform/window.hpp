#pragma once
// What every window of the program shares: the icon, its place given in
// twips for the client area, that the user's closing destroys it, and that
// it never stays in a state its title bar does not offer.
#include <QIcon>
#include <QWidget>

namespace ui {

// The one icon of every window and message box.
QIcon programIcon();

// Some window managers offer minimising, maximising and full screen whatever
// the title bar asks for: a window without that button undoes it at once
// (full screen as a maximise). For the window's changeEvent.
void refuseStatesNotOffered(QWidget* window, QEvent* event);

class Window : public QWidget {
    Q_OBJECT
public:
    explicit Window(Qt::WindowFlags flags);

protected:
    // Client area on the screen, never centred or cascaded.
    void placeClient(int left, int top, int width, int height);
    // The same for a window the user cannot resize.
    void placeFixedClient(int left, int top, int width, int height);

    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
};

// Title bar of a dialog: caption and close box only. A dialog has no owner
// window (so the main window may lie over it) and no task-bar button.
inline constexpr Qt::WindowFlags kDialogFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// A window with a dialog border: fixed size, close box, no task-bar button.
class DialogWindow : public Window {
    Q_OBJECT
public:
    DialogWindow();

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace ui
