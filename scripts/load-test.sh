#!/usr/bin/env bash
# Runs the whole suite three times in a row while two busy loops keep both
# processor cores loaded, to show that no test depends on timing. Works on an
# existing build folder (the README's test command makes build/):
#   bash scripts/load-test.sh [build folder, default build] [rounds, default 3]
# For the sanitizer build: bash scripts/load-test.sh build-sanitize
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
rounds=${2:-3}
[ -d "$build_dir" ] || { echo "no build folder $build_dir: run scripts/test.sh first" >&2; exit 2; }
export QT_QPA_PLATFORM=offscreen
if grep -q '^TEVRA_SANITIZE:BOOL=ON' "$build_dir/CMakeCache.txt" 2>/dev/null; then
  source scripts/sanitizer-env.sh
fi
loops=()
stop_loops() { [ ${#loops[@]} -eq 0 ] || kill "${loops[@]}" 2>/dev/null || true; }
trap stop_loops EXIT
for _ in 1 2; do
  ( while :; do :; done ) &
  loops+=($!)
done
for round in $(seq 1 "$rounds"); do
  echo "== round $round of $rounds, load: $(cut -d' ' -f1-3 /proc/loadavg)"
  ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600
done
