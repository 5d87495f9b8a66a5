#!/usr/bin/env bash
# smoke-x11.sh BINARY: starts the real program under Xvfb and openbox,
# finds the main window, checks where its client area is, then ends the
# program by the window's close box.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=x11-session.sh
source "$here/x11-session.sh"

binary=${1:?usage: smoke-x11.sh BINARY}
start_x11

"$binary" >"$x11_dir/program.log" 2>&1 &
program=$!
x11_pids+=("$program")

main=$(find_window 'QJX文本文件分割器V1.5') || x11_fail "main window not found"
read -r x y w h < <(client_geometry "$main")
# Qt draws the menu bar inside the X window; the client area is what lies
# below it: left 341, top 298, 296 by 245 pixels (5115, 4470, 4440 by 3675
# twips). So the X window shares its left, width and bottom with it and
# reaches up by the menu bar's height.
bar=$((h - 245))
echo "main window: X window at $x,$y size ${w}x$h; below the menu bar ($bar px): $x,$((y + bar)) ${w}x245"
[[ $x -eq 341 && $w -eq 296 ]] || x11_fail "client area left/width $x/$w, want 341/296"
[[ $((y + h)) -eq 543 ]] || x11_fail "client area bottom $((y + h)), want 543"
[[ $bar -ge 10 && $bar -le 60 ]] || x11_fail "menu bar of $bar px: client area top not at 298"

# A mode dialog: at its place, no owner window, no task-bar button, also
# when shown again after its OK hid it.
dialog_ok() {
  local id=$1 geometry
  geometry=$(client_geometry "$id")
  [[ $geometry == "353 406 295 106" ]] || x11_fail "character-count dialog at $geometry, want 353 406 295 106"
  ! xprop -id "$id" WM_TRANSIENT_FOR | grep -q 'window id' || x11_fail "the dialog has an owner window"
  xprop -id "$id" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || x11_fail "the dialog has a task-bar button"
}
option1() { xdotool mousemove $((x + 30)) $((y + bar + 104)) click 1; }
option1
form4=$(find_window '请输入每个文件的字数') || x11_fail "character-count dialog not found"
dialog_ok "$form4"
read -r dx dy _ _ < <(client_geometry "$form4")
xdotool mousemove $((dx + 228)) $((dy + 84)) click 1  # its OK
x11_wait_for sh -c "! xwininfo -id $form4 | grep -q IsViewable" || x11_fail "OK did not hide the dialog"
option1
x11_wait_for sh -c "xwininfo -id $form4 | grep -q IsViewable" || x11_fail "Option1 did not show the dialog again"
dialog_ok "$form4"
echo "character-count dialog: placed, no owner, no task-bar button, after OK too"

# The close box: the right-most button of openbox's title bar.
read -r _ right top _ < <(frame_extents "$main")
xdotool mousemove $((x + w + right - 10)) $((y - top / 2)) click 1
x11_wait_for sh -c "! kill -0 $program" || x11_fail "the program did not end after its close box"
status=0
wait "$program" || status=$?
[[ $status -eq 0 ]] || x11_fail "the program ended with status $status"
echo "smoke: main window placed, closed by its close box, program ended"
