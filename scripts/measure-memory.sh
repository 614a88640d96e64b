#!/usr/bin/env bash
# Peak memory of tevra on large calculation files, as /usr/bin/time -v reports
# it (the maximum resident set size), for files of 10, 50 and 200 MB and each
# way of running them: printing the results, calculating in place, JSON, and
# loading the file as a memory file.
#
#     bash scripts/measure-memory.sh [TEVRA] [SIZES_IN_MB...]
#
# TEVRA defaults to build-release/bin/tevra, else build/bin/tevra. The files
# are typical calculations (products, powers, functions, sums, stores, old
# results and comments) in UTF-8 and in the program's UTF-16 format, written
# to a temporary folder that is removed afterwards. Not part of the tests: a
# 200 MB run takes a while and needs about a gigabyte of memory.
set -euo pipefail
cd "$(dirname "$0")/.."
tevra=${1:-}
if [ -z "$tevra" ]; then
  tevra=build-release/bin/tevra
  [ -x "$tevra" ] || tevra=build/bin/tevra
fi
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10 50 200)
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Writes SIZE megabytes of calculation to FILE, as UTF-8 (utf8) or UTF-16LE
# with its mark (utf16).
make_file() {
  python3 - "$1" "$2" "$3" <<'EOF'
import sys
path, megabytes, encoding = sys.argv[1], int(sys.argv[2]), sys.argv[3]
lines = [
    "12*34+sin(0) = 0;  // a product\n",
    "2^0.5 = 1.41;\n",
    "ln(1000!) - 3 = ;\n",
    "sum(i,1,10,i^2) = 385;\n",
    "(1+2)*(3+4)/5 -> Mem[a];\n",
    "Mem[a]*2 = 8.4; /* twice */\n",
    "cos(pi/3)+gamma(5) = 0;\n",
]
block = "".join(lines) * 1000
target = megabytes * 1024 * 1024
with open(path, "wb") as out:
    written = 0
    if encoding == "utf16":
        out.write(b"\xff\xfe")
        data = block.encode("utf-16-le")
    else:
        data = block.encode("utf-8")
    while written + len(data) <= target:
        out.write(data)
        written += len(data)
EOF
}

# Peak resident memory of one tevra command in kilobytes.
peak() {
  /usr/bin/time -v "$@" > /dev/null 2> "$work/time" || true
  sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time"
}

printf '%-8s %-7s %-12s %10s %10s %7s\n' "size" "format" "run" "file MB" "peak MB" "ratio"
for size in "${sizes[@]}"; do
  for encoding in utf8 utf16; do
    file="$work/calc-$size.$encoding"
    make_file "$file" "$size" "$encoding"
    bytes=$(stat -c %s "$file")
    for run in print in-place json load-memory; do
      case $run in
        print) args=("$file") ;;
        in-place) cp "$file" "$work/copy"; args=(--in-place "$work/copy") ;;
        json) args=(--json "$file") ;;
        load-memory) args=(--load-memory "$file" -e 1) ;;
      esac
      kb=$(peak "$tevra" "${args[@]}")
      awk -v s="$size" -v e="$encoding" -v r="$run" -v b="$bytes" -v k="$kb" \
        'BEGIN { printf "%-8s %-7s %-12s %10.1f %10.1f %7.2f\n", s " MB", e, r, b / 1048576, k / 1024, k * 1024 / b }'
    done
    rm -f "$file" "$work/copy"
  done
done
