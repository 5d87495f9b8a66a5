#!/usr/bin/env bash
# smoke-x11.sh BINARY: starts the real program under Xvfb and openbox,
# finds the main window, checks where its client area is, then what only a
# real window manager shows: minimising, the focus after a message box, the
# boxes' owners, titles, icons and sizes, long texts in fields and where the
# labels draw their text; ends the program by the main window's close box.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=x11-session.sh
source "$here/x11-session.sh"

binary=${1:?usage: smoke-x11.sh BINARY}
grab="$(dirname "$binary")/qjxgrab"
[[ -x "$grab" ]] || x11_fail "$grab is missing (it is built with the program)"
start_x11
work="$x11_dir/work"
mkdir -p "$work/out"

start_program "$binary"
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
# Option1 shows the dialog and makes it the active window.
option1() {
  xdotool mousemove $((x + 30)) $((y + bar + 104)) click 1
  [[ -z ${form4:-} ]] || wait_until "Option1 to make the dialog active" is_active "$form4"
}
option1
form4=$(find_window '请输入每个文件的字数') || x11_fail "character-count dialog not found"
wait_until "the character-count dialog to become active" is_active "$form4"
dialog_ok "$form4"
click_in "$form4" 228 84  # its OK
wait_until "OK to hide the dialog" is_gone "$form4"
option1
dialog_ok "$form4"
echo "character-count dialog: placed, no owner, no task-bar button, after OK too"

# Client areas, in pixels: the main window's below its menu bar. A click
# in a field makes it the active window, which then takes the keys.
main_at() { xdotool mousemove $((x + $1)) $((y + bar + $2)) click 1; }
field_at() {
  main_at "$@"
  wait_until "a click in a field to make the main window active" is_active "$main"
}
text1() { field_at 100 32; }
text2() { field_at 100 64; }
text4() { field_at 200 152; }
command2() { main_at 80 204; }
option2() { main_at 180 104; }
replace_text() { xdotool key ctrl+a BackSpace; xdotool type -- "$1"; }

# The message box now open: waits for it and for it to take the input.
box=""
open_box() {
  box=$(find_window '提示') || x11_fail "no message box after $1"
  wait_until "the message box after $1 to become active" is_active "$box"
}
answer_box() {
  xdotool key Return  # to the focused window: the box
  wait_until "Enter to close the message box" is_gone "$box"
}

# Owned by the window whose procedure opened it, centred over it, with the
# program's icon, and wide enough for its title bar to show "提示".
check_box() {
  local owner=$1 what=$2 bx by bw bh ox oy ow oh
  xprop -id "$box" WM_TRANSIENT_FOR | grep -qi "window id # $(printf '0x%x' "$owner")" ||
    x11_fail "box $what: not owned by its window ($(xprop -id "$box" WM_TRANSIENT_FOR))"
  [[ "$(xprop -id "$box" _NET_WM_ICON | md5sum)" == "$(xprop -id "$owner" _NET_WM_ICON | md5sum)" ]] ||
    x11_fail "box $what: not the program's icon"
  read -r bx by bw bh < <(client_geometry "$box")
  read -r ox oy ow oh < <(client_geometry "$owner")
  local dx=$(((bx + bw / 2) - (ox + ow / 2))) dy=$(((by + bh / 2) - (oy + oh / 2)))
  ((dx * dx <= 64 && dy * dy <= 900)) || x11_fail "box $what: not centred over its window (off by $dx,$dy)"
  ((bw >= 240)) || x11_fail "box $what: $bw px wide, too narrow for its title"
}

# 1. The dialogs offer no minimising: openbox's minimise button is undone
# at once. The main window may be minimised, and the dialog's OK, which
# shows it, brings it back to the front.
xdotool windowminimize "$form4"
xdotool windowminimize "$main"
# openbox takes the requests in turn: the dialog was minimised before the
# main window was.
wait_until "the main window to be minimised" is_minimised "$main"
wait_until "the program to undo the dialog's minimising" is_normal "$form4"
# A box from the dialog (Text1 is empty): once it shows, the program and
# openbox have handled all that came before it.
click_in "$form4" 96 84  # "显示被分割文件字数"
open_box "the character count, with the main window minimised"
is_normal "$form4" || x11_fail "the dialog was minimised again"
answer_box
wait_until "the dialog to be active again after the box" is_active "$form4"
click_in "$form4" 228 84  # its OK
wait_until "OK to bring the main window back" is_normal "$main"
wait_until "OK to make the main window active" is_active "$main"
echo "minimising: undone at once for a dialog; the main window back after OK"

# 2. After a box, the window before it is active again with its focus.
option1
click_in "$form4" 200 32  # Text3
xdotool type 12
xdotool key Tab Tab space  # "显示被分割文件字数": Text1 is empty
open_box "the character count"
answer_box
wait_until "the dialog to be active again after the box" is_active "$form4"
xdotool key shift+Tab shift+Tab End  # from its button back to Text3
xdotool type 34
[[ "$(focused_field_text)" == 1234 ]] || x11_fail "typing after the box did not reach the dialog's field"
echo "message box: the dialog active again afterwards, its focus where it was"

# 3. Boxes that follow one another: every one owned by the main window.
printf 'abc' >"$work/in.txt"
text1 && replace_text "$work/in.txt"
text2 && replace_text "$work/out"
text4 && replace_text "p"
for target in "完成" error; do
  [[ $target == error ]] && text2 && replace_text "$work/missing"
  command2
  open_box "开始分割"
  check_box "$main" notice
  answer_box
  open_box "the notice"
  check_box "$main" "$target"
  answer_box
done
[[ "$(cat "$work/out/p1.txt")" == abc ]] || x11_fail "the split wrote no piece"
echo "message boxes: owned, centred, with the icon and wide enough, one after another too"

# 4. A field takes a text longer than 32767 characters. Read back by a copy,
# which the program makes only after the paste before it.
long=$(printf 'x%.0s' $(seq 40000))
set_clipboard "$long"
text4 && xdotool key ctrl+a ctrl+v
pasted=$(focused_field_text)
[[ ${#pasted} -eq 40000 ]] || x11_fail "a pasted text of 40000 characters became ${#pasted}"
text4 && replace_text "p"
echo "fields: 40000 characters pasted and kept"

# Also: a box with a path of 3000 characters fits on the screen.
set_clipboard "/$(printf 'a%.0s' $(seq 2999))"
text1 && xdotool key ctrl+a ctrl+v
option1
click_in "$form4" 96 84
open_box "the character count of a long path"
read -r bx by bw bh < <(client_geometry "$box")
read -r left right top bottom < <(frame_extents "$box")
((bx - left >= 0 && by - top >= 0 && bx + bw + right <= 1024 && by + bh + bottom <= 768)) ||
  x11_fail "the box of a long path does not fit on the screen: $bx,$by ${bw}x$bh"
answer_box
echo "message box: a path of 3000 characters fits on the screen"

# 5. A label draws its text from the top of its box: the size dialog's
# first label (375 twips high) level with its field and "KB".
click_in "$form4" 228 84  # OK: the dialog no longer lies over Option2
wait_until "OK to hide the dialog" is_gone "$form4"
option2
form5=$(find_window '请输入每个文件的大小') || x11_fail "size dialog not found"
read -r fx fy _ _ < <(client_geometry "$form5")
label_ink() { read -r ink _ < <("$grab" --ink $((fx + 8)) $((fy + 16)) 170 25); ((${ink:--1} >= 0)); }
wait_until "the size dialog's first label to be drawn" label_ink
((ink >= 0 && ink <= 3)) || x11_fail "the size dialog's label starts its text $ink px below its top"
echo "labels: text from the top of the box"

end_by_close_box
echo "smoke: main window placed, closed by its close box, program ended"
