#!/usr/bin/env bash
# open-file-x11.sh BINARY: under Xvfb and openbox, picks a novel whose name,
# and its folder's, are code page 936 bytes in the open-file dialog, once
# with the mouse and once with the keys, and splits it each time: the pieces
# join to the novel.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=x11-session.sh
source "$here/x11-session.sh"

binary=$(realpath "${1:?usage: open-file-x11.sh BINARY}")
start_x11
gbk=$'\xD6\xD0\xCE\xC4'  # "中文" in code page 936
work="$x11_dir/work"
out="$x11_dir/out"
mkdir -p "$work/$gbk" "$out"
novel="$work/$gbk/$gbk.txt"
for _ in $(seq 300); do printf '\xD6\xD0\xCE\xC4ab\r\n'; done >"$novel"  # 1800 characters

# The dialog first shows the working folder, which holds only the novel's.
cd "$work"
start_program "$binary"

main_at() { xdotool mousemove $((cx + $1)) $((cy + $2)) click 1; }
replace_text() { xdotool key ctrl+a BackSpace; xdotool type -- "$1"; }

# Command1 "浏览…": the dialog, active. Sets dialog, dx, dy.
open_dialog() {
  xdotool windowactivate --sync "$main"
  main_at 256 32
  dialog=$(find_window '打开') || x11_fail "open-file dialog not found ($1)"
  x11_wait_for is_active "$dialog" || x11_fail "the open-file dialog is not active ($1)"
  read -r dx dy _ _ < <(client_geometry "$dialog")
}
# The file list's first row, double-clicked.
first_row_twice() { xdotool mousemove $((dx + 300)) $((dy + 70)) click --repeat 2 --delay 80 1; }

# The box now open, answered by Enter.
answer_box() {
  local box
  box=$(find_window '提示') || x11_fail "no message box ($1)"
  x11_wait_for is_active "$box" || x11_fail "the message box is not active ($1)"
  xdotool key Return
  x11_wait_for is_gone "$box" || x11_fail "Enter did not close the message box ($1)"
}

# Splits the input field's file by 500 characters into $out: the pieces,
# in order, are the novel's bytes.
split_joins() {
  local form4 k=1
  rm -f "$out"/*
  main_at 100 64 && replace_text "$out"  # Text2
  main_at 200 152 && replace_text p      # Text4
  main_at 30 104                         # Option1 "按字数分割"
  form4=$(find_window '请输入每个文件的字数') || x11_fail "character-count dialog not found ($1)"
  click_in "$form4" 200 32 && replace_text 500
  click_in "$form4" 228 84  # its OK
  x11_wait_for is_gone "$form4" || x11_fail "OK did not hide the character-count dialog ($1)"
  main_at 80 204  # Command2 "开始分割"
  answer_box "the notice, $1"
  answer_box "the end of the split, $1"
  [[ -f "$out/p2.txt" ]] || x11_fail "the split left no second piece ($1): $(ls "$out")"
  while [[ -f "$out/p$k.txt" ]]; do cat "$out/p$k.txt"; k=$((k + 1)); done | cmp -s - "$novel" ||
    x11_fail "the pieces do not join to the novel ($1)"
  echo "$1: picked, split into $(find "$out" -name "p*.txt" | wc -l) pieces that join to the novel"
}

# The mouse: the folder, then the novel, each by a double click.
open_dialog "the mouse"
first_row_twice
first_row_twice
x11_wait_for is_gone "$dialog" || x11_fail "double-clicking the novel did not close the dialog"
split_joins "the mouse"

# The keys: the dialog stands in the novel's folder; from the file name
# back to the folder list, up and into the folder again, over to the file
# list and its one file.
open_dialog "the keys"
xdotool key shift+Tab shift+Tab Up Return Down Return Tab Down Return
x11_wait_for is_gone "$dialog" || x11_fail "Enter on the novel did not close the dialog"
split_joins "the keys"

end_by_close_box
