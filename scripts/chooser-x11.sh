#!/usr/bin/env bash
# chooser-x11.sh BINARY: starts the real program under Xvfb and openbox in a
# working folder the folder chooser cannot list (no read permission), in one
# removed after the start, and in one whose path is longer than 4096 bytes;
# "浏览…" must show a box from the chooser, and "确定" put into the output
# folder field the folder the chooser stands on. Exits 77 (skipped) when a case
# cannot be reached by this user.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=x11-session.sh
source "$here/x11-session.sh"

binary=$(realpath "${1:?usage: chooser-x11.sh BINARY}")
start_x11
work=$(mktemp -d)
trap 'stop_x11; chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work"' EXIT
skipped=""

# Root reads every folder. A user namespace without a mapping keeps the
# user's own identity on the files but none of root's powers over them.
as_user=(unshare --user)
if ! unshare --user true 2>/dev/null; then
  as_user=()
  [[ $(id -u) -eq 0 ]] && as_user=(none)
fi

# Writes a starter that enters the folder one name at a time, as far as any
# path length goes, the shell's PWD with it, and starts the program there.
starter() {
  local folder=$1 file=$work/start-$2.sh
  shift 2
  {
    echo '#!/usr/bin/env bash'
    printf 'folder=%q\n' "$folder"
    echo 'cd / && IFS=/ read -ra names <<<"$folder"'
    echo 'for name in "${names[@]}"; do [[ -z $name ]] || cd -- "$name"; done'
    printf 'exec %s %q\n' "$*" "$binary"
  } >"$file"
  chmod +x "$file"
  echo "$file"
}

# run_case NAME STARTER FIELD: "浏览…", a box from the chooser, "确定"; the
# field must then hold FIELD. (Qt's message box copies its text only on
# Windows: what the box says is checked by folder_chooser_test, offscreen.)
run_case() {
  local name=$1 file=$2 field=$3 form3 box got fx fy
  start_program "$file"
  [[ $name == removed ]] && rmdir "$work/gone/below" "$work/gone"
  click_at $((cx + 256)) $((cy + 64))  # Command3 "浏览…"
  form3=$(find_window '请选择输出路径') || x11_fail "$name: folder chooser not found"
  box=$(find_window '提示') || x11_fail "$name: no message box from the folder chooser"
  x11_wait_for is_active "$box" || x11_fail "$name: the message box is not active"
  xprop -id "$box" WM_TRANSIENT_FOR | grep -qi "window id # $(printf '0x%x' "$form3")" ||
    x11_fail "$name: the box is not owned by the folder chooser"
  xdotool key Return
  x11_wait_for is_gone "$box" || x11_fail "$name: Enter did not close the box"
  read -r fx fy _ _ < <(client_geometry "$form3")
  click_at $((fx + 148)) $((fy + 156))  # its "确定"
  x11_wait_for is_gone "$form3" || x11_fail "$name: 确定 did not hide the folder chooser"
  x11_wait_for is_active "$main" || x11_fail "$name: the main window is not active after 确定"
  click_at $((cx + 100)) $((cy + 65))  # Text2
  got=$(focused_field_text)
  [[ $got == "$field" ]] || x11_fail "$name: the output folder field holds ${got:0:200}, want ${field:0:200}"
  end_by_close_box
  echo "$name: a box from the chooser, and 确定 delivers the folder it stands on"
}

# 1. A folder that can be entered but not listed.
mkdir -p "$work/locked/inner"
chmod 0311 "$work/locked"
if [[ ${as_user[0]:-} == none ]]; then
  skipped+=" unlistable folder (root reads every folder and no user namespace can be made)"
else
  run_case unlistable "$(starter "$work/locked" locked "${as_user[@]}")" "$work/locked"
fi

# 2. A folder removed, its parent too, after the program started there.
mkdir -p "$work/gone/below"
run_case removed "$(starter "$work/gone/below" gone)" "$work"

# 3. A path longer than the 4096 bytes a path may have.
long=$work
cd "$work"
for _ in $(seq 17); do
  name=$(printf 'l%.0s' $(seq 250))
  mkdir "$name" && cd "$name"
  long+=/$name
done
cd /
run_case long "$(starter "$long" long)" "$long"

if [[ -n $skipped ]]; then
  echo "SKIP:$skipped"
  exit 77
fi
echo "chooser: every working folder said why and delivered"
