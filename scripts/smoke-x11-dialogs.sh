#!/usr/bin/env bash
# smoke-x11-dialogs.sh BINARY: starts the real program under Xvfb and
# openbox, opens the open-file dialog and the folder chooser from their
# buttons and from the menu, checks how the window manager sees them, and
# closes them again.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=x11-session.sh
source "$here/x11-session.sh"

binary=${1:?usage: smoke-x11-dialogs.sh BINARY}
start_x11

start_program "$binary"

# The first menu, "操作", then the keys.
menu_item() {
  activate_window "$main"
  open_menu $((mx + 12)) $((my + bar / 2))
  local key
  for key in "$@"; do xdotool key "$key"; done
}

# The open-file dialog: modal over the main window; Esc cancels it.
open_file_dialog() {
  local id
  id=$(find_window '打开') || x11_fail "open-file dialog not found ($1)"
  xprop -id "$id" WM_TRANSIENT_FOR | grep -q "window id # $(printf '0x%x' "$main")" ||
    x11_fail "the open-file dialog is not owned by the main window ($1)"
  xprop -id "$id" _NET_WM_STATE | grep -q _NET_WM_STATE_MODAL || x11_fail "the open-file dialog is not modal ($1)"
  wait_until "the open-file dialog to become active ($1)" is_active "$id"
  xdotool key Escape
  wait_until "Esc to close the open-file dialog ($1)" is_gone "$id"
  echo "open-file dialog from $1: modal over the main window, closed by Esc"
}
click_at $((cx + 256)) $((cy + 32))  # Command1 "浏览…"
open_file_dialog "the button"
menu_item Down Return  # "打开文件"
open_file_dialog "the menu"

# The folder chooser: at its place, no owner, a task-bar button.
chooser() {
  local id geometry
  id=$(find_window '请选择输出路径') || x11_fail "folder chooser not found ($1)"
  geometry=$(client_geometry "$id")
  [[ $geometry == "365 342 312 183" ]] || x11_fail "folder chooser at $geometry, want 365 342 312 183 ($1)"
  ! xprop -id "$id" WM_TRANSIENT_FOR | grep -q 'window id' || x11_fail "the folder chooser has an owner window"
  ! xprop -id "$id" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || x11_fail "the folder chooser has no task-bar button"
  echo "$id"
}
click_at $((cx + 256)) $((cy + 64))  # Command3 "浏览…"
form3=$(chooser "the button")
close_box "$form3"
wait_until "the close box to destroy the folder chooser" is_destroyed "$form3"
echo "folder chooser from the button: placed, no owner, task-bar button, destroyed by its close box"

menu_item Down Down Return  # "选择输出目录"
form3=$(chooser "the menu")
click_at $((365 + 148)) $((342 + 156))  # its OK
wait_until "OK to hide the folder chooser" is_gone "$form3"
echo "folder chooser from the menu: hidden by its OK"

end_by_close_box
echo "smoke: both dialogs opened and closed, program ended"
