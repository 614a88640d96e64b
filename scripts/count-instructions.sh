#!/usr/bin/env bash
# Counts the instructions tevra executes on fixed inputs, under callgrind:
# a count does not depend on what else the machine is doing, so two builds
# can be compared on a busy machine. With two binaries, prints both.
#
#   bash scripts/count-instructions.sh build/bin/tevra [other-build/bin/tevra]
set -euo pipefail
command -v valgrind > /dev/null || { echo "valgrind is needed (apt-get install valgrind)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 10,000 typical statements, one document.
for ((i = 0; i < 2000; ++i)); do
  printf '%d*3+sin(%d)=;\nsqrt(%d)/7->Mem[c%d]=;\nMem[c%d]^2-ln(%d+1)=;\n(%d+1)!/%d!=;\nRslt*2=;\n' \
    "$i" "$i" "$i" "$((i % 50))" "$((i % 50))" "$i" "$((i % 20))" "$((i % 20))"
done > "$work/document.txt"

inputs=("document of 10,000 statements|$work/document.txt"
        "sum(i,1,1e6,sin(i))|-e sum(i,1,1e6,sin(i))"
        "chain of 100,000 terms|$work/chain.txt")
{ printf '1'; for ((i = 0; i < 100000; ++i)); do printf '+%d' "$((i % 10))"; done; echo; } > "$work/chain.txt"

for binary in "$@"; do
  echo "$binary"
  for input in "${inputs[@]}"; do
    name=${input%%|*}
    args=${input#*|}
    # shellcheck disable=SC2086 # the arguments of a row are words
    valgrind --tool=callgrind --callgrind-out-file="$work/out" "$binary" $args > /dev/null 2> "$work/log" || true
    count=$(grep -o 'Collected : [0-9]*' "$work/log" | grep -o '[0-9]*$')
    printf '  %-28s %15s instructions\n' "$name" "$count"
  done
done
