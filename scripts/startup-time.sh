#!/usr/bin/env bash
# Measures how long the desktop program takes from its launch until its main
# window is mapped on an X server, as a first start with fresh settings.
# Several builds are measured in turn, run by run, so that they share the
# machine's load; each gets its median and its fastest run.
#
#   bash scripts/startup-time.sh [-n RUNS] [BINARY ...]
#
# BINARY defaults to build/bin/calculator-tevra. Needs Xvfb and xev.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=15
if [ "${1:-}" = "-n" ]; then
  runs=$2
  shift 2
fi
binaries=("$@")
[ ${#binaries[@]} -gt 0 ] || binaries=(build/bin/calculator-tevra)
for binary in "${binaries[@]}"; do
  [ -x "$binary" ] || { echo "Not a program: $binary" >&2; exit 2; }
done
command -v Xvfb >/dev/null && command -v xev >/dev/null || { echo "Needs Xvfb and xev (x11-utils)" >&2; exit 2; }

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A server of its own on the first free display number.
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
display=":$(head -n1 "$work/display")"

# Milliseconds from the launch of binary to the first window mapped on the
# server's root window.
measure() {
  local binary=$1 config
  config=$(mktemp -d "$work/config.XXXX")
  coproc WATCH { DISPLAY=$display exec stdbuf -oL xev -root -event substructure; }
  local watch_pid=$WATCH_PID
  sleep 0.3  # the watcher is listening
  local started=$EPOCHREALTIME
  DISPLAY=$display XDG_CONFIG_HOME=$config HOME=$config "$binary" > /dev/null 2>&1 &
  local program=$!
  local line mapped=""
  while read -r -t 30 line <&"${WATCH[0]}"; do
    if [[ $line == MapNotify* ]]; then
      mapped=$EPOCHREALTIME
      break
    fi
  done
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  kill "$watch_pid" 2>/dev/null || true
  wait "$watch_pid" 2>/dev/null || true
  [ -n "$mapped" ] || { echo "no window was mapped by $binary" >&2; return 1; }
  awk -v a="$started" -v b="$mapped" 'BEGIN { printf "%.1f\n", (b - a) * 1000 }'
}

declare -A times
for ((run = 1; run <= runs; ++run)); do
  for binary in "${binaries[@]}"; do
    times[$binary]+="$(measure "$binary") "
  done
done

for binary in "${binaries[@]}"; do
  # shellcheck disable=SC2086
  printf '%s\n' ${times[$binary]} | sort -n | awk -v name="$binary" '
    { t[NR] = $1 }
    END { printf "%s: median %.1f ms, fastest %.1f ms over %d runs\n", name, t[int((NR + 1) / 2)], t[1], NR }'
done
