#!/usr/bin/env bash
# The calculate keys on real keyboard layouts: the desktop program runs on a
# private X server (Xvfb) whose keyboard is switched with setxkbmap to the US,
# German and French layouts; xdotool presses the keys as a user's keyboard
# sends them. Each row opens a calculation, presses one key, saves with
# Ctrl+S and reads the file back.
#
#   keyboard-layouts.sh PROGRAM
set -euo pipefail

program=${1:?the desktop program}
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
for tool in Xvfb setxkbmap xdotool iconv; do
  command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/deps.sh)"
done

work=$(mktemp -d)
server=""
running=""
cleanup() {
  [ -n "$running" ] && kill "$running" 2>/dev/null && wait "$running" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A display of its own: Xvfb picks a free number and writes it to the pipe.
exec 3<> <(:)
# -noreset: a server left without clients resets, and with it the layout.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
server=$!
read -r -t 30 number <&3 || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$number
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data
export XDG_STATE_HOME=$work/home/state XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# A calculation file as the program writes it: UTF-16LE with a byte-order mark.
write_calculation() {
  { printf '\xff\xfe'; printf '%s' "$2" | iconv -f UTF-8 -t UTF-16LE; } >"$1"
}
read_calculation() {
  tail -c +3 "$1" | iconv -f UTF-16LE -t UTF-8
}

# Layout, keys as xdotool names them, and the text after the command.
calculate='1+1=2;2*3'
all='1+1=2;2*3=6'
rows=(
  "us ctrl+equal $calculate"
  "us ctrl+shift+equal $all"
  "us ctrl+Return $calculate"
  "us ctrl+KP_Enter $calculate"
  "us ctrl+shift+Return $all"
  "de ctrl+shift+0 $calculate"
  "de ctrl+plus $all"
  "de ctrl+Return $calculate"
  "de ctrl+shift+Return $all"
  "fr ctrl+equal $calculate"
  "fr ctrl+shift+equal $all"
  "fr ctrl+Return $calculate"
)
failures=0
for row in "${rows[@]}"; do
  read -r layout key expected <<<"$row"
  setxkbmap "$layout" || fail "setxkbmap $layout (Debian packages x11-xkb-utils and xkb-data)"
  file=$work/$layout-${key//+/-}.vcl
  write_calculation "$file" '1+1;2*3'
  "$program" "$file" >"$work/program.log" 2>&1 &
  running=$!
  window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$running" --name 'Calculator' | head -n 1) \
    || fail "the window did not show: $(cat "$work/program.log")"
  timeout 30 xdotool windowfocus --sync "$window" || fail "the window did not take the focus"
  xdotool key --window "$window" --clearmodifiers "$key"
  xdotool key --window "$window" --clearmodifiers ctrl+s
  # Wait for the save: the file changes once (a bound against a hang only).
  for _ in $(seq 300); do
    [ "$(read_calculation "$file")" != '1+1;2*3' ] && break
    sleep 0.1
  done
  got=$(read_calculation "$file")
  if [ "$got" = "$expected" ]; then
    echo "ok   $layout $key: $got"
  else
    echo "FAIL $layout $key: $got, expected $expected" >&2
    failures=$((failures + 1))
  fi
  kill "$running" 2>/dev/null && wait "$running" 2>/dev/null || true
  running=""
done
[ "$failures" -eq 0 ] || fail "$failures of ${#rows[@]} keys did the wrong thing"
echo "the calculate keys work on the US, German and French layouts"
