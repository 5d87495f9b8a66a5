#!/usr/bin/env bash
# screenshots.sh BINARY OUTDIR: starts the real program under Xvfb and
# openbox, opens each window as a user would and saves a PNG of each one,
# frame included, into OUTDIR.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=x11-session.sh
source "$here/x11-session.sh"

binary=$(realpath "${1:?usage: screenshots.sh BINARY OUTDIR}")
outdir=${2:?usage: screenshots.sh BINARY OUTDIR}
grab="$(dirname "$binary")/qjxgrab"
[[ -x "$grab" ]] || x11_fail "$grab is missing (it is built with the program)"
mkdir -p "$outdir"
start_x11

start_program "$binary"

# Grabs a part of the screen into $1; true when it shows what the grab
# before it showed, that is when the window has finished drawing.
settled() {
  local out=$1
  shift
  "$grab" "$out.new" "$@" && cmp -s "$out.new" "$out" && rm "$out.new" && return 0
  mv "$out.new" "$out"
  return 1
}

# Brings the window to the front and saves it with its frame, once drawn.
shot() {
  local name=$1 id=$2 x y w h left right top bottom
  activate_window "$id"
  read -r x y w h < <(client_geometry "$id")
  read -r left right top bottom < <(frame_extents "$id")
  rm -f "$outdir/$name.png"
  wait_until "$name to be drawn" settled "$outdir/$name.png" \
    $((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))
  echo "$outdir/$name.png"
}

shot main-window "$main"

# The upper "浏览…" opens the open-file dialog; Esc cancels it.
click_at $((cx + 256)) $((cy + 32))
dialog=$(find_window '打开') || x11_fail "open-file dialog not found"
shot open-file-dialog "$dialog"
xdotool key Escape
wait_until "Esc to close the open-file dialog" is_gone "$dialog"

# Again, on a folder of novels whose names are code page 936 bytes
# ("中文", "测试"), reached by typing its path as the dialog shows it.
gbk="$x11_dir/novels/"$'\xD6\xD0\xCE\xC4'
mkdir -p "$gbk/"$'\xB2\xE2\xCA\xD4'
printf '\xD6\xD0\xCE\xC4\r\n' >"$gbk/"$'\xD6\xD0\xCE\xC4.txt'
printf '\xB2\xE2\xCA\xD4\r\n' >"$gbk/"$'\xB2\xE2\xCA\xD4.txt'
printf 'readme\n' >"$gbk/说明.txt"
printf 'not text\n' >"$gbk/封面.jpg"
xdotool windowactivate --sync "$main"
click_at $((cx + 256)) $((cy + 32))
dialog=$(find_window '打开') || x11_fail "open-file dialog not found"
x11_wait_for sh -c "[ \"\$(xdotool getactivewindow)\" = $dialog ]"
xdotool type -- "$x11_dir/novels/\\xD6\\xD0\\xCE\\xC4"
xdotool key Return
shot open-file-dialog-gbk "$dialog"
xdotool key Escape
x11_wait_for sh -c "! xwininfo -id $dialog | grep -q IsViewable"

# The lower "浏览…" opens the folder chooser; its OK hides it.
activate_window "$main"
click_at $((cx + 256)) $((cy + 64))
form3=$(find_window '请选择输出路径') || x11_fail "folder chooser not found"
shot folder-chooser "$form3"
read -r fx fy _ _ < <(client_geometry "$form3")
click_at $((fx + 148)) $((fy + 156))
wait_until "OK to hide the folder chooser" is_gone "$form3"

# Option1 "按字数分割" and Option2 "按文件大小分割" open their dialogs.
click_at $((cx + 30)) $((cy + 104))
form4=$(find_window '请输入每个文件的字数') || x11_fail "character-count dialog not found"
xdotool type --window "$form4" 500
shot count-dialog "$form4"

activate_window "$main"
click_at $((cx + 170)) $((cy + 104))
form5=$(find_window '请输入每个文件的大小') || x11_fail "size dialog not found"
shot size-dialog "$form5"

# Its statistic button with no input file gives a message box.
read -r fx fy _ _ < <(client_geometry "$form5")
click_at $((fx + 128)) $((fy + 68))
box=$(find_window '提示') || x11_fail "message box not found"
shot message-box "$box"
xdotool key Return  # the box is modal and has the focus
wait_until "Enter to close the message box" is_gone "$box"

# "帮助" is the third menu: open the first, move right twice (its first item
# is then highlighted), then choose.
open_help_item() {
  activate_window "$main"
  open_menu $((mx + 12)) $((my + bar / 2))
  next_menu Right
  next_menu Right
  local key
  for key in "$@"; do xdotool key "$key"; done
}
open_help_item Return
form2=$(find_window '帮助') || x11_fail "instructions window not found"
shot instructions-window "$form2"

open_help_item Down Return
form6=$(find_window '关于') || x11_fail "About window not found"
shot about-window "$form6"

end_by_close_box

# The folder chooser started 30 folders deep, with a long subfolder name.
deep_root=$(mktemp -d)
trap 'stop_x11; rm -rf "$deep_root"' EXIT
deep=$deep_root
for level in $(seq -w 1 30); do deep+="/第${level}层"; done
mkdir -p "$deep/子文件夹" "$deep/一个很长很长的文件夹名字，长得放不下，只好截短"
pushd "$deep" >/dev/null
start_program "$binary"
popd >/dev/null
click_at $((cx + 256)) $((cy + 64))
form3=$(find_window '请选择输出路径') || x11_fail "folder chooser not found"
shot folder-chooser-deep "$form3"
end_by_close_box
