#!/usr/bin/env bash
# Resident memory of the desktop program over 100 cycles of Select all, Cut and
# Paste on a document of 4 million characters, and after File New discards
# the text with its undo history. Release build, on a virtual X display.
#
#   bash scripts/measure-undo.sh [CYCLES [DOCUMENT]]
#
# DOCUMENT is one of tevra_editor_bench's documents (default lines-4m).
# TEVRA_EDITOR_BENCH names a tevra_editor_bench already built (of another
# build folder) instead of building the release one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cycles=${1:-100}
document=${2:-lines-4m}
bench=${TEVRA_EDITOR_BENCH:-}
if [ -z "$bench" ]; then
    build_dir=${TEVRA_RELEASE_DIR:-build-release}
    export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTEVRA_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build_dir" -j 2 --target tevra_editor_bench
    bench="$build_dir/bin/tevra_editor_bench"
fi
xvfb-run -a -s "-screen 0 1600x1000x24" "$bench" --undo-cycles "$document" "$cycles"
