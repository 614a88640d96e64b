#!/usr/bin/env bash
# Measures how long the engine takes to run the largest memory the desktop
# program brings back at start ("Keep memory between sessions": 8 MB, about
# a hundred thousand cells written as the program writes them), through
# tevra --load-memory, which runs a memory file the way the start does. The
# time of a run without it is measured too; each gets its median and its
# fastest run.
#
#   bash scripts/session-memory-time.sh [-n RUNS] [TEVRA]
#
# TEVRA defaults to build/bin/tevra.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=9
if [ "${1:-}" = "-n" ]; then
  runs=$2
  shift 2
fi
tevra=${1:-build/bin/tevra}
[ -x "$tevra" ] || { echo "Not a program: $tevra" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Cells with 20-digit values of every size, up to the largest kept memory.
python3 - "$work/kept.vcm" <<'EOF'
import random, sys
random.seed(1)
limit = 8 << 20
size, lines = 2, []
while True:
    line = "%.20g->Mem[cell%06d];\r\n" % (random.random() * 10 ** random.randint(-5, 5), len(lines))
    if size + 2 * len(line) > limit:
        break
    lines.append(line)
    size += 2 * len(line)
open(sys.argv[1], "wb").write(b"\xff\xfe" + "".join(lines).encode("utf-16-le"))
print(f"{len(lines)} cells, {size} bytes")
EOF

measure() {
  local label=$1
  shift
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  mapfile -t sorted < <(printf '%s\n' "${times[@]}" | sort -n)
  echo "$label: median ${sorted[$((runs / 2))]} ms, fastest ${sorted[0]} ms ($runs runs)"
}

measure "without a kept memory" "$tevra" -e 0
measure "with the largest kept memory" "$tevra" --load-memory "$work/kept.vcm" -e 0
