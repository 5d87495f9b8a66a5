# Sourced by the X11 scripts: a private X server with a window manager.
# start_x11 sets DISPLAY; stop_x11 ends what start_x11 started.

x11_dir=""
x11_pids=()

x11_fail() { echo "$(basename "$0"): $*" >&2; exit 1; }

stop_x11() {
  local pid
  for pid in "${x11_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${x11_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  x11_pids=()
  [[ -n "$x11_dir" ]] && rm -rf "$x11_dir"
  x11_dir=""
}

# Waits up to about ten seconds (X11_WAIT tenths) for a command to succeed.
x11_wait_for() {
  local i
  for i in $(seq "${X11_WAIT:-100}"); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

start_x11() {
  for tool in Xvfb openbox xdotool xwininfo xprop; do
    command -v "$tool" >/dev/null || x11_fail "$tool is missing (make deps installs it)"
  done
  x11_dir=$(mktemp -d)
  trap stop_x11 EXIT
  # Xvfb picks a free display and writes its number once it is ready.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$x11_dir/display" 2>"$x11_dir/xvfb.log" &
  x11_pids+=($!)
  x11_wait_for test -s "$x11_dir/display" || x11_fail "Xvfb did not start: $(cat "$x11_dir/xvfb.log")"
  export DISPLAY=":$(head -n1 "$x11_dir/display")"
  # On a busy machine the server may not take connections yet.
  X11_WAIT=300 x11_wait_for xprop -root || x11_fail "Xvfb does not answer on $DISPLAY: $(cat "$x11_dir/xvfb.log")"
  local attempt wm
  for attempt in 1 2 3; do
    openbox --sm-disable >"$x11_dir/openbox.log" 2>&1 &
    wm=$!
    # Until it runs the desktop, or has given up.
    X11_WAIT=300 x11_wait_for sh -c "! kill -0 $wm || xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"
    if kill -0 "$wm" 2>/dev/null && xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; then
      x11_pids+=("$wm")
      break
    fi
    kill "$wm" 2>/dev/null || true
    wait "$wm" 2>/dev/null || true
    [[ $attempt -eq 3 ]] && x11_fail "openbox did not start on $DISPLAY: $(cat "$x11_dir/openbox.log")"
  done
  export XDG_RUNTIME_DIR="$x11_dir"
}

# The window with exactly this title, waiting for it to appear.
find_window() {
  local id=""
  x11_wait_for sh -c "xdotool search --onlyvisible --name '^$1\$' >'$x11_dir/found'" &&
    id=$(head -n1 "$x11_dir/found")
  [[ -n "$id" ]] || return 1
  echo "$id"
}

# Clicks at a point of the screen.
click_at() { xdotool mousemove "$1" "$2" click 1; }

# Clicks at a point given from the top-left corner of a window's client area.
click_in() {
  local x y
  read -r x y _ _ < <(client_geometry "$1")
  xdotool mousemove $((x + $2)) $((y + $3)) click 1
}

# Mapped and not minimised.
is_normal() {
  xwininfo -id "$1" | grep -q IsViewable && ! xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN
}
is_minimised() { xprop -id "$1" WM_STATE | grep -q Iconic; }
is_active() { [[ "$(xdotool getactivewindow 2>/dev/null)" == "$1" ]]; }
is_gone() { ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
is_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
# Not only hidden: the X window no longer exists.
is_destroyed() { ! xwininfo -id "$1" >/dev/null 2>&1; }

# The clipboard, through which fields are filled and read back.
set_clipboard() { printf %s "$1" | xclip -selection clipboard -i 2>/dev/null; }
get_clipboard() { xclip -selection clipboard -o; }
# The whole text of the field that has the focus ("-" when nothing is
# copied: no field has it, or it is empty).
focused_field_text() {
  set_clipboard -
  xdotool key ctrl+a ctrl+c
  X11_WAIT=20 x11_wait_for sh -c '[ "$(xclip -selection clipboard -o)" != - ]' || true
  get_clipboard
}

# "x y width height" of a window's client area on the screen.
client_geometry() {
  xwininfo -id "$1" | awk '
    /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

# "left right top bottom" of the frame the window manager drew around it.
frame_extents() {
  xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ,
}

# Starts the program in the background, to end with the X session, and waits
# for its main window: sets program (its process), main (the window), mx my
# mw mh (its X window), bar (the menu bar's height) and cx cy (the client
# area's top-left corner, below the menu bar).
start_program() {
  "$1" >"$x11_dir/program.log" 2>&1 &
  program=$!
  x11_pids+=("$program")
  main=$(find_window 'QJX文本文件分割器V1.5') || x11_fail "main window not found: $(cat "$x11_dir/program.log")"
  read -r mx my mw mh < <(client_geometry "$main")
  bar=$((mh - 245))  # the client area is 245 pixels high
  cx=$mx cy=$((my + bar))
}

# Clicks the close box: the right-most button of openbox's title bar.
close_box() {
  local x y w _ right top
  read -r x y w _ < <(client_geometry "$1")
  read -r _ right top _ < <(frame_extents "$1")
  xdotool mousemove $((x + w + right - 10)) $((y - top / 2)) click 1
}

# Closes the main window by its close box and checks that the program ended
# well.
end_by_close_box() {
  local status=0
  xdotool windowactivate --sync "$main" 2>/dev/null || true
  close_box "$main"
  x11_wait_for sh -c "! kill -0 $program" || x11_fail "the program did not end after its close box"
  wait "$program" || status=$?
  [[ $status -eq 0 ]] || x11_fail "the program ended with status $status"
}
