#!/usr/bin/env bash
# Measures how soon the results margin follows an edit on generated worksheets
# of 10,000 and 100,000 statements (or the counts given): from the edit until
# every value in the margin is that of the new text, for an edit in the
# middle and one at the top of the text, on a worksheet where an edit's
# effect dies out within a few statements and on one where it flows down to
# the end through a running total. Release build, offscreen.
#
#   bash scripts/margin-speed.sh [STATEMENTS ...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build_dir=${TEVRA_RELEASE_DIR:-build-release}
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTEVRA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build_dir" -j 2 --target tevra_margin_bench
counts=("$@")
if [ ${#counts[@]} -eq 0 ]; then
    counts=(10000 100000)
fi
for count in "${counts[@]}"; do
    QT_QPA_PLATFORM=offscreen "$build_dir/bin/tevra_margin_bench" "$count"
done
