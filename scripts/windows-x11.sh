#!/usr/bin/env bash
# windows-x11.sh BINARY X11_MESSAGE: the real program under Xvfb and openbox:
# fast double-clicks on buttons that hide or show a window under the
# pointer, option buttons clicked right of their captions, full screen from
# the window manager, and where a message box first opens.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=x11-session.sh
source "$here/x11-session.sh"

binary=${1:?usage: windows-x11.sh BINARY X11_MESSAGE}
message=${2:?usage: windows-x11.sh BINARY X11_MESSAGE}
start_x11
work="$x11_dir/work"
mkdir -p "$work/out"
printf 'abcdef' >"$work/in.txt"
# The folder chooser stands on the working folder: its OK gives the same
# output folder as typed.
cd "$work/out"
start_program "$binary"
cd "$here"

# Two presses 90 ms apart, as people double-click buttons by habit.
double_click() {
  xdotool mousemove "$1" "$2" mousedown 1 sleep 0.04 mouseup 1 sleep 0.05 mousedown 1 mouseup 1
}
# The program has taken every event sent to it so far.
settled() {
  "$message" ping "$main" 2>/dev/null && return 0
  kill -0 "$program" 2>/dev/null || x11_fail "$1 ended the program"
  x11_fail "the program does not answer ($1)"
}
# The screen point lies in the window's client area.
inside() {
  local x y w h
  read -r x y w h < <(client_geometry "$1")
  (($2 >= x && $2 < x + w && $3 >= y && $3 < y + h))
}
# The main window's client area, below its menu bar.
main_at() { xdotool mousemove $((cx + $1)) $((cy + $2)) click 1; }
field_text() {
  xdotool windowactivate --sync "$main"
  main_at "$1" "$2"
  focused_field_text
}
fill_field() {
  xdotool windowactivate --sync "$main"
  main_at "$1" "$2"
  xdotool key ctrl+a BackSpace
  xdotool type -- "$3"
}
# Text1, Text2, Text4 as the user filled them: the program still runs.
fields_kept() {
  kill -0 "$program" 2>/dev/null || x11_fail "$1 ended the program"
  [[ "$(field_text 100 32)" == "$work/in.txt" ]] || x11_fail "$1: Text1 changed"
  [[ "$(field_text 100 64)" == "$work/out" ]] || x11_fail "$1: Text2 changed"
  [[ "$(field_text 200 152)" == p ]] || x11_fail "$1: Text4 changed"
}
# Twice the centre of the window's frame, "x y".
frame_centre2() {
  local x y w h l r t b
  read -r x y w h < <(client_geometry "$1")
  read -r l r t b < <(frame_extents "$1")
  echo $((2 * (x - l) + w + l + r)) $((2 * (y - t) + h + t + b))
}
# The box's whole frame centred over its owner's, within a pixel.
box_centred() {
  local bx by ox oy
  read -r bx by < <(frame_centre2 "$1")
  read -r ox oy < <(frame_centre2 "$2")
  (((bx - ox) * (bx - ox) <= 4 && (by - oy) * (by - oy) <= 4)) ||
    x11_fail "the $3 box is not centred over its window: frame centre $((bx / 2)),$((by / 2)), its window's $((ox / 2)),$((oy / 2))"
}
no_box() { ! xdotool search --onlyvisible --name '^提示$' >/dev/null 2>&1; }
# Visible windows of the program: a list that dropped open counts too.
shown_windows() { xdotool search --onlyvisible --pid "$program" 2>/dev/null | sort | tr '\n' ' '; }
expect_shown() {
  local want
  want=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
  [[ "$(shown_windows)" == "$want" ]] || x11_fail "visible windows $(shown_windows), want $want"
}

fill_field 100 32 "$work/in.txt"
fill_field 100 64 "$work/out"
fill_field 200 152 p
# An option button takes a click anywhere in its rectangle: Option1 right
# of its caption (x 99 to 104).
main_at 102 104
form4=$(find_window '请输入每个文件的字数') || x11_fail "a click right of Option1's caption opened no dialog"
xdotool type 3
echo "Option1 clicked right of its caption: the count dialog opens"

# 1. The count dialog's OK lies over "退出".
inside "$form4" 570 496 && inside "$main" 570 496 || x11_fail "the count dialog's OK is not over 退出"
double_click 570 496
x11_wait_for is_gone "$form4" || x11_fail "a double-click on the count dialog's OK did not hide it"
settled "the count dialog's OK"
fields_kept "a double-click on the count dialog's OK"
echo "double-click on the count dialog's OK: dialog hidden, the program runs"

# 2. "按文件大小分割": the size dialog opens under the pointer, its
# "显示被分割文件大小" (a box with the size) lies there.
double_click $((cx + 160)) $((cy + 104))
form5=$(find_window '请输入每个文件的大小') || x11_fail "size dialog not found"
inside "$form5" $((cx + 160)) $((cy + 104)) || x11_fail "the size dialog does not open under Option2"
settled "按文件大小分割"
no_box || x11_fail "a double-click on 按文件大小分割 pressed the size dialog's button"
xdotool type 1
[[ "$(focused_field_text)" == 1 ]] || x11_fail "the size dialog's field does not have the input"
echo "double-click on 按文件大小分割: the size dialog opens, nothing pressed in it"

# 3. The size dialog's OK lies over Option2, which shows the dialog again.
inside "$form5" 570 400 && inside "$main" 570 400 || x11_fail "the size dialog's OK is not over Option2"
double_click 570 400
x11_wait_for is_gone "$form5" || x11_fail "a double-click on the size dialog's OK did not hide it"
settled "the size dialog's OK"
is_gone "$form5" || x11_fail "a double-click on the size dialog's OK showed it again"
fields_kept "a double-click on the size dialog's OK"
echo "double-click on the size dialog's OK: dialog hidden, and stays so"

# Option2 right of its caption (x 259 to 272).
xdotool windowactivate --sync "$main"
main_at 266 104
x11_wait_for is_viewable "$form5" || x11_fail "a click right of Option2's caption opened no dialog"
click_in "$form5" 268 68  # its OK
x11_wait_for is_gone "$form5" || x11_fail "the size dialog's OK did not hide it"
echo "Option2 clicked right of its caption: the size dialog opens"

# 4. The lower "浏览…": the chooser's drive list lies under the pointer.
xdotool windowactivate --sync "$main"
double_click $((cx + 249)) $((cy + 64))
form3=$(find_window '请选择输出路径') || x11_fail "folder chooser not found"
settled "the lower 浏览…"
expect_shown "$main" "$form3"
echo "double-click on the lower 浏览…: the chooser opens, its drive list closed"

# 5. The chooser's OK lies over "退出".
inside "$form3" 530 500 && inside "$main" 530 500 || x11_fail "the chooser's OK is not over 退出"
double_click 530 500
x11_wait_for is_gone "$form3" || x11_fail "a double-click on the chooser's OK did not hide it"
settled "the chooser's OK"
fields_kept "a double-click on the chooser's OK"
echo "double-click on the chooser's OK: chooser gone, the program runs"

# 6. "开始分割" double-clicked runs one split: its notice and its end.
xdotool windowactivate --sync "$main"
double_click $((cx + 80)) $((cy + 204))
for what in notice end; do
  box=$(find_window '提示') || x11_fail "no $what box after 开始分割"
  x11_wait_for is_active "$box" || x11_fail "the $what box is not active"
  box_centred "$box" "$main" "$what"
  xdotool key Return
  x11_wait_for is_gone "$box" || x11_fail "Enter did not close the $what box"
done
settled "开始分割"
no_box || x11_fail "a double-click on 开始分割 ran two splits"
[[ "$(cat "$work/out/p1.txt")" == abcdef ]] || x11_fail "the split wrote no piece"
echo "double-click on 开始分割: one split"

# 7. Inside one window a double-click stays one: the folder list's first
# row, "/", opened by it; the chooser's OK then gives "/".
xdotool windowactivate --sync "$main"
main_at 249 64  # the lower 浏览…
x11_wait_for is_viewable "$form3" || x11_fail "the lower 浏览… did not show the chooser"
xdotool windowactivate --sync "$form3"
read -r fx fy _ _ < <(client_geometry "$form3")
double_click $((fx + 40)) $((fy + 42))
settled "a double-click in the folder list"
click_in "$form3" 148 156  # its OK
x11_wait_for is_gone "$form3" || x11_fail "the chooser's OK did not hide it"
[[ "$(field_text 100 64)" == / ]] || x11_fail "a double-click on the folder list's first row did not open /"
echo "double-click in the folder list: opens the folder"

# Full screen, which openbox offers every window, is undone where the title
# bar offers no maximise: the window back at its place with its frame.
desktops=$(xdotool get_num_desktops)
not_full_screen() { ! xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN; }
at_place() { [[ "$(client_geometry "$1")" == "$2" ]]; }
full_screen_undone() {
  local id=$1 what=$2 place frame attempt spy
  place=$(client_geometry "$id")
  frame=$(frame_extents "$id")
  # Asked again until a watch on the window's state has seen it go full
  # screen, so that a request openbox let pass proves nothing.
  for attempt in 1 2 3 4 5; do
    if ((attempt > 1)); then
      # What may have held the last request back (the pointer over a
      # frame, the focus elsewhere) is taken away before the next one.
      xdotool mousemove 1000 750
      activate_window "$id"
      # And should openbox hold the window for full screen already, it
      # stops doing so first.
      "$message" state "$id" remove _NET_WM_STATE_FULLSCREEN
    fi
    spy="$x11_dir/state.$id.$attempt"
    xprop -spy -id "$id" _NET_WM_STATE >"$spy" 2>&1 &
    x11_pids+=($!)
    x11_wait_for test -s "$spy" || x11_fail "cannot watch the state of the $what"
    "$message" state "$id" add _NET_WM_STATE_FULLSCREEN
    # Openbox takes requests in order: once it has one more desktop, it has
    # taken the first.
    desktops=$((desktops + 1))
    xdotool set_num_desktops "$desktops"
    x11_wait_for sh -c "[ \"\$(xdotool get_num_desktops)\" = $desktops ]" || x11_fail "openbox took no request for the $what"
    x11_wait_for not_full_screen "$id" ||
      x11_fail "the $what stayed full screen at $(client_geometry "$id")"
    x11_wait_for at_place "$id" "$place" ||
      x11_fail "the $what is at $(client_geometry "$id") after full screen, want $place"
    [[ "$(frame_extents "$id")" == "$frame" ]] || x11_fail "the $what lost its frame: $(frame_extents "$id")"
    # The watch reads the state when it gets round to it, by which time the
    # program may have undone full screen: a change there and back shows it
    # too (the first line is the state before).
    X11_WAIT=50 x11_wait_for sh -c "grep -q _NET_WM_STATE_FULLSCREEN '$spy' || [ \$(wc -l <'$spy') -ge 3 ]" &&
      return 0
  done
  # Should openbox take none of the requests, what the program does with
  # full screen cannot be seen: a skip, not a pass.
  echo "SKIP: openbox took none of 5 full-screen requests for the $what;" \
    "its state as watched: $(cat "$x11_dir"/state."$id".*)" >&2
  exit 77
}
xdotool windowactivate --sync "$main"
main_at 30 104  # Option1
x11_wait_for is_viewable "$form4" || x11_fail "Option1 did not show the count dialog"
full_screen_undone "$form4" "count dialog"
full_screen_undone "$main" "main window"
# "关于", the second item of the third menu.
xdotool windowactivate --sync "$main"
before=$(shown_windows)
xdotool mousemove $((mx + 12)) $((my + bar / 2)) click 1
x11_wait_for sh -c "[ \"\$(xdotool search --onlyvisible --pid $program | sort | tr '\n' ' ')\" != '$before' ]" ||
  x11_fail "the menu did not open"
xdotool key Right Right Down Return
form6=$(find_window '关于') || x11_fail "About window not found"
full_screen_undone "$form6" "About window"
echo "full screen: undone for the count dialog, the main window and the About window"

end_by_close_box
