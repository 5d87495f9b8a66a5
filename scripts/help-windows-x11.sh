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
  xdotool windowactivate --sync "$main"
  xdotool mousemove $((mx + 12)) $((my + bar / 2)) click 1
  sleep 0.2
  xdotool key Right Right
  sleep 0.2
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

# Moved and resized, hidden by OK, shown again as it was left.
xdotool windowmove --sync "$form2" 60 40
xdotool windowsize --sync "$form2" 760 520
sleep 0.3
moved=$(client_geometry "$form2")
read -r fx fy fw fh <<<"$moved"
[[ $fw -eq 760 && $fh -eq 520 ]] || x11_fail "the instructions window was not resized: $moved"
xdotool mousemove $((fx + 584 + 40)) $((fy + 440 + 16)) click 1  # its OK
x11_wait_for sh -c "! xwininfo -id $form2 | grep -q IsViewable" || x11_fail "OK did not hide the instructions window"
is_viewable "$main" || x11_fail "the main window went with OK"
x11_wait_for sh -c "[ \"\$(xdotool getactivewindow)\" = $main ]" || x11_fail "OK did not bring the main window to the front"
help_item Return
x11_wait_for is_viewable "$form2" || x11_fail "使用说明 did not show the instructions window again"
expect_place "$form2" "$moved" "instructions window shown again"
echo "instructions window: placed, on the task bar, OK hides it and keeps its place and size"

# The close box destroys it; the next 使用说明 makes it afresh at its place.
close_box "$form2"
x11_wait_for is_destroyed "$form2" || x11_fail "the close box did not destroy the instructions window"
is_viewable "$main" || x11_fail "closing the instructions window ended the program"
help_item Return
form2=$(find_window '帮助') || x11_fail "instructions window not made afresh"
expect_place "$form2" "191 164 702 490" "instructions window made afresh"
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
sleep 0.3
[[ $(xdotool search --onlyvisible --name '^关于$' | wc -l) -eq 1 ]] || x11_fail "关于 twice gave two windows"
close_box "$form6"
x11_wait_for is_destroyed "$form6" || x11_fail "the close box did not destroy the About window"
is_viewable "$main" || x11_fail "closing the About window ended the program"
echo "About window: placed, off the task bar, fixed size, one window, closed by its close box"

end_by_close_box
