#!/usr/bin/env bash
# Measures the desktop program's editor on generated documents (one statement
# per line, and one line of statements separated by ";" only): open to painted
# window, one keystroke to repaint, the value at the caret once typing pauses,
# Calculate all to repainted text, each with the editor's aids and without, and the
# whole program's memory with the largest document open. Release build, on a
# virtual X display.
#
#   bash scripts/editor-speed.sh [DOCUMENT ...]
#
# Without arguments every document is measured. TEVRA_BENCH_TIMEOUT (seconds,
# default 300) ends a measurement that takes longer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build_dir=${TEVRA_RELEASE_DIR:-build-release}
timeout_seconds=${TEVRA_BENCH_TIMEOUT:-300}
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTEVRA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build_dir" -j 2 --target tevra_editor_bench calculator-tevra
bench="$build_dir/bin/tevra_editor_bench"
program="$build_dir/bin/calculator-tevra"

documents=("$@")
if [ ${#documents[@]} -eq 0 ]; then
    documents=(lines-1m line-1m line-2m line-4m lines-4m blanks-4m accents-4m arabic-4m emoji-4m empty-lines-4m)
fi

# One process per document, so that no document profits from another's caches;
# each document with the editor's aids (live value, colours, completion) and
# then without them.
for document in "${documents[@]}"; do
    for aids in on off; do
        if ! TEVRA_EDITOR_AIDS=$aids timeout "$timeout_seconds" xvfb-run -a -s "-screen 0 1600x1000x24" "$bench" "$document"; then
            echo "$document: no result within $timeout_seconds s"
        fi
    done
done

# The whole program as a user starts it, with the largest one-line document
# the editor accepts: time until its window is on the screen, and its memory
# then and after a Calculate all.
largest=line-4m
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=offscreen "$bench" --write "$largest" "$work/$largest.vcl"
cat >"$work/run.sh" <<'INNER'
set -u
export XDG_CONFIG_HOME="$1/config"
memory() { echo "$(grep VmRSS /proc/$pid/status | tr -s ' \t' ' '), $(grep VmHWM /proc/$pid/status | tr -s ' \t' ' ')"; }
start=$(date +%s%N)
"$2" "$1/$3.vcl" &
pid=$!
if window=$(xdotool search --sync --onlyvisible --pid "$pid" | head -1); then
    shown=$(date +%s%N)
    sleep 2
    echo "whole program, $3: window shown $(((shown - start) / 1000000)) ms after the start; $(memory)"
    xdotool windowactivate --sync "$window" >/dev/null 2>&1
    xdotool key --window "$window" ctrl+shift+equal
    sleep 5
    echo "whole program, $3, after Calculate all: $(memory)"
fi
kill "$pid"
wait "$pid" 2>/dev/null || true
INNER
timeout "$timeout_seconds" xvfb-run -a -s "-screen 0 1600x1000x24" bash "$work/run.sh" "$work" "$(realpath "$program")" "$largest" ||
    echo "whole program, $largest: no window within $timeout_seconds s"
