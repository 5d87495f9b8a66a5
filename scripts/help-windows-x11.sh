#!/usr/bin/env bash
# help-windows-x11.sh BINARY: the instructions window and the About window of
# the real program under Xvfb and openbox: where they open, their task-bar
# buttons, OK and the close box, and one About window however often opened.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=x11-session.sh
source "$here/x11-session.sh"

binary=${1:?usage: help-windows-x11.sh BINARY}
start_x11
start_program "$binary"

# "帮助" is the third menu: open the first, move right twice (its first item
# is then highlighted), then the keys given.
help_item() {
  activate_window "$main"
  open_menu $((mx + 12)) $((my + bar / 2))
  next_menu Right
  next_menu Right
  local key
  for key in "$@"; do xdotool key "$key"; done
}
expect_place() {
  local got
  got=$(client_geometry "$1")
  [[ $got == "$2" ]] || x11_fail "$3 at $got, want $2"
}
on_task_bar() { ! xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR; }

# The instructions window: client area 191,164 and 702 by 490 pixels
# (2865, 2460, 10530 by 7350 twips), a task-bar button, no owner.
help_item Return
form2=$(find_window '帮助') || x11_fail "instructions window not found"
expect_place "$form2" "191 164 702 490" "instructions window"
on_task_bar "$form2" || x11_fail "the instructions window has no task-bar button"
! xprop -id "$form2" WM_TRANSIENT_FOR | grep -q 'window id' || x11_fail "the instructions window has an owner"

# Moved and resized, hidden by OK, shown again as it was left. openbox takes
# the requests in turn: the move is done once the size is.
xdotool windowmove "$form2" 60 40
xdotool windowsize "$form2" 760 520
sized() { read -r _ _ fw fh < <(client_geometry "$form2") && [[ "$fw $fh" == "760 520" ]]; }
wait_until "the instructions window to be resized to 760 by 520" sized
moved=$(client_geometry "$form2")
read -r fx fy fw fh <<<"$moved"
[[ "$fx $fy" != "191 164" ]] || x11_fail "the instructions window was not moved: $moved"
xdotool mousemove $((fx + 584 + 40)) $((fy + 440 + 16)) click 1  # its OK
wait_until "OK to hide the instructions window" is_gone "$form2"
is_viewable "$main" || x11_fail "the main window went with OK"
wait_until "OK to bring the main window to the front" is_active "$main"
help_item Return
wait_until "使用说明 to show the instructions window again" is_viewable "$form2"
expect_place "$form2" "$moved" "instructions window shown again"
echo "instructions window: placed, on the task bar, OK hides it and keeps its place and size"

# The close box destroys it; the next 使用说明 makes it afresh at its place.
close_box "$form2"
wait_until "the close box to destroy the instructions window" is_destroyed "$form2"
is_viewable "$main" || x11_fail "closing the instructions window ended the program"
help_item Return
form2=$(find_window '帮助') || x11_fail "instructions window not made afresh"
expect_place "$form2" "191 164 702 490" "instructions window made afresh"
click_in "$form2" $((584 + 40)) $((440 + 16))  # its OK
wait_until "OK to hide the instructions window" is_gone "$form2"
echo "instructions window: closed by its close box, made afresh at its place"

# The About window: client area 365,329 and 307 by 197 pixels (5475, 4935,
# 4605 by 2955 twips), no task-bar button, no owner, fixed size; opened
# twice, one window.
help_item Down Return
form6=$(find_window '关于') || x11_fail "About window not found"
expect_place "$form6" "365 329 307 197" "About window"
! on_task_bar "$form6" || x11_fail "the About window has a task-bar button"
! xprop -id "$form6" WM_TRANSIENT_FOR | grep -q 'window id' || x11_fail "the About window has an owner"
xprop -id "$form6" WM_NORMAL_HINTS | grep -q 'program specified minimum size: 307 by 197' ||
  x11_fail "the About window can be resized"
xprop -id "$form6" WM_NORMAL_HINTS | grep -q 'program specified maximum size: 307 by 197' ||
  x11_fail "the About window can be resized"
help_item Down Return
# The instructions window shown after it: by then the program has handled
# 关于, and openbox has put on the screen what it showed.
help_item Return
wait_until "使用说明 to show the instructions window after 关于" is_viewable "$form2"
[[ $(xdotool search --onlyvisible --name '^关于$' | wc -l) -eq 1 ]] || x11_fail "关于 twice gave two windows"
activate_window "$form6"  # its close box lies under the instructions window
close_box "$form6"
wait_until "the close box to destroy the About window" is_destroyed "$form6"
is_viewable "$main" || x11_fail "closing the About window ended the program"
echo "About window: placed, off the task bar, fixed size, one window, closed by its close box"

end_by_close_box
