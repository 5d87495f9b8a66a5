# Sourced by the X11 scripts: a private X server with a window manager.
# start_x11 sets DISPLAY; stop_x11 ends what start_x11 started.
# Every wait is on a condition, long enough for a machine busy with other
# work; a wait that runs out fails with what it waited for and the windows'
# state (x11_state).

x11_dir=""
x11_pids=()

x11_fail() {
  echo "$(basename "$0"): $*" >&2
  [[ -n "$x11_dir" && -d "$x11_dir" ]] && x11_state >&2
  exit 1
}

stop_x11() {
  local pid
  for pid in "${x11_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${x11_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  x11_pids=()
  [[ -n "$x11_dir" ]] && rm -rf "$x11_dir"
  x11_dir=""
}

# Waits until a command succeeds, up to X11_WAIT tenths of a second (30 s
# unless given). One that runs out leaves what it waited for to x11_state.
x11_wait_for() {
  local tenths=${X11_WAIT:-300}
  local end=$((SECONDS + (tenths + 9) / 10))
  [[ -n "$x11_dir" ]] && rm -f "$x11_dir/timed-out"
  until "$@" >/dev/null 2>&1; do
    if ((SECONDS >= end)); then
      [[ -n "$x11_dir" ]] && echo "$((tenths / 10)) s for: $*" >"$x11_dir/timed-out"
      return 1
    fi
    sleep 0.1
  done
}

# Waits for a command to succeed, or fails saying what it waited for.
wait_until() {
  local what=$1
  shift
  x11_wait_for "$@" || x11_fail "waited in vain for $what"
}

# What the X server shows now: the active and focused windows, the managed
# windows from bottom to top, the unmanaged ones on the screen (menus), and
# the ends of the program's and the window manager's logs.
x11_state() {
  local - id
  set +e +o pipefail
  echo "--- state of the X session ${DISPLAY:-}"
  [[ -s "$x11_dir/timed-out" ]] && echo "the last wait ran out after $(cat "$x11_dir/timed-out")"
  if [[ -n "${DISPLAY:-}" ]] && xprop -root _NET_ACTIVE_WINDOW >/dev/null 2>&1; then
    id=$(xdotool getactivewindow 2>/dev/null)
    echo "active window: ${id:-none}; input focus: $(xdotool getwindowfocus 2>&1); pointer: $(xdotool getmouselocation 2>&1)"
    echo "managed windows, bottom to top:"
    for id in $(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*'); do x11_describe $((id)); done
    echo "unmanaged windows on the screen:"
    for id in $(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p'); do
      xwininfo -id "$id" | grep -q 'Override Redirect State: yes' &&
        xwininfo -id "$id" | grep -q IsViewable && x11_describe $((id))
    done
  else
    echo "the X server does not answer"
  fi
  if [[ -f "$x11_dir/program.log" ]]; then
    echo "--- program log (end)"
    tail -n 40 "$x11_dir/program.log"
  fi
  echo "--- openbox log (end)"
  tail -n 20 "$x11_dir/openbox.log" 2>/dev/null
  echo "---"
}

# One line about a window: id, title, client area, map state, WM_STATE,
# _NET_WM_STATE and owner.
x11_describe() {
  local id=$1
  printf '  %s "%s" at %s, %s, WM_STATE %s, _NET_WM_STATE %s, owner %s\n' "$id" \
    "$(xdotool getwindowname "$id" 2>/dev/null)" "$(client_geometry "$id" 2>/dev/null)" \
    "$(xwininfo -id "$id" 2>/dev/null | sed -n 's/.*Map State: //p')" \
    "$(xprop -id "$id" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p')" \
    "$(xprop -id "$id" _NET_WM_STATE 2>/dev/null | sed -n 's/.*= *//p')" \
    "$(xprop -id "$id" WM_TRANSIENT_FOR 2>/dev/null | grep -o '0x[0-9a-f]*' || echo none)"
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

# The clipboard, through which fields are filled and read back. xclip serves
# the text until another program takes the clipboard; the text read back
# shows that it has taken it (a unique text first where the clipboard already
# held this one).
set_clipboard() {
  clipboard_is "$1" && x11_take_clipboard "(another text $RANDOM$RANDOM)"
  x11_take_clipboard "$1"
}
x11_take_clipboard() {
  printf %s "$1" | xclip -selection clipboard -i >/dev/null 2>&1
  x11_wait_for clipboard_is "$1" || x11_fail "the clipboard did not take a text of ${#1} characters"
}
get_clipboard() { xclip -selection clipboard -o; }
clipboard_is() { [[ "$(timeout 20 xclip -selection clipboard -o 2>/dev/null)" == "$1" ]]; }
# Who holds the clipboard and since when: the owner's answer to TIMESTAMP
# (xclip gives its text), new with every copy.
clipboard_stamp() { timeout 20 xclip -selection clipboard -o -t TIMESTAMP 2>/dev/null | md5sum; }
clipboard_stamp_is_not() { [[ "$(clipboard_stamp)" != "$1" ]]; }
# The whole text of the field that has the focus ("-" when nothing is
# copied: no field has it, or it is empty, which shows only when the wait
# runs out). Leaves the clipboard alone until the program copies, so that a
# paste still to come takes what was there.
focused_field_text() {
  local before
  before=$(clipboard_stamp)
  xdotool key ctrl+a ctrl+c
  if x11_wait_for clipboard_stamp_is_not "$before"; then get_clipboard; else echo -; fi
}

# Makes a window the active one and waits until it is.
activate_window() {
  xdotool windowactivate "$1"
  wait_until "window $1 to become active" is_active "$1"
}

# The program's popup menus on the screen, one a line: its windows that
# the window manager does not manage.
open_menus() {
  local id
  for id in $(xdotool search --onlyvisible --class "${x11_class:-qjxsplit}" 2>/dev/null); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$id"
  done
  return 0
}
# Sets menu to the popup menu on the screen when it is another than $1.
x11_other_menu() {
  local menus
  menus=$(open_menus)
  [[ -n "$menus" ]] && ! grep -qx "${1:-none}" <<<"$menus" && menu=$(head -n1 <<<"$menus")
}
# Clicks a title of a menu bar at a point of the screen and waits for its
# menu: sets menu to it.
menu=""
open_menu() {
  click_at "$1" "$2"
  wait_until "a menu after a click at $1,$2" x11_other_menu ""
}
# Presses a key that goes from the open menu to another (Right, Left) and
# waits for that one.
next_menu() {
  local was=$menu
  xdotool key "$1"
  wait_until "another menu than $was after $1" x11_other_menu "$was"
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
  main=$(find_window 'QJX文本文件分割器V1.5') || x11_fail "main window not found"
  x11_class=$(xprop -id "$main" WM_CLASS | sed -n 's/.*= "\([^"]*\)".*/\1/p')
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
  activate_window "$main"
  close_box "$main"
  wait_until "the program to end after its close box" sh -c "! kill -0 $program"
  wait "$program" || status=$?
  [[ $status -eq 0 ]] || x11_fail "the program ended with status $status"
}
