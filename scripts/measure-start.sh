#!/usr/bin/env bash
# Whole-program figures of the desktop integration, on the offscreen platform
# in throwaway folders: how long a second start takes to hand its file to the
# running instance and end, how long --version takes, and how long after a
# first start the desktop registration (entry, file types, icons, MIME cache)
# is complete. Prints medians of several runs.
#
#     bash scripts/measure-start.sh [BUILD_FOLDER] [RUNS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-11}
program="$build/bin/calculator-tevra"
work=$(mktemp -d)
trap 'kill "$primary" 2>/dev/null || true; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" HOME="$work"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
printf '\xff\xfe1\x00+\x001\x00' > "$work/a.vcl"

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
milliseconds() { echo $(( $(date +%s%N) / 1000000 )); }

for i in $(seq "$runs"); do
  start=$(milliseconds); "$program" --version > /dev/null; echo $(( $(milliseconds) - start ))
done | median | xargs printf 'calculator-tevra --version: %s ms\n'

# The first start with an empty data folder: until the MIME cache is there.
export XDG_DATA_HOME="$work/data"
start=$(milliseconds)
"$program" > "$work/primary.log" 2>&1 &
primary=$!
until [ -e "$XDG_DATA_HOME/mime/mime.cache" ] && [ -e "$XDG_DATA_HOME/applications/mimeinfo.cache" ]; do
  sleep 0.01
  [ $(( $(milliseconds) - start )) -lt 60000 ] || { echo "registration did not finish" >&2; exit 1; }
done
echo "first start to registration complete: $(( $(milliseconds) - start )) ms ($(find "$XDG_DATA_HOME" -type f | wc -l) files)"

for i in $(seq "$runs"); do
  start=$(milliseconds); "$program" "$work/a.vcl"; echo $(( $(milliseconds) - start ))
done | median | xargs printf 'second start handing a file over: %s ms\n'
