#!/usr/bin/env bash
# Prints the figures that show the shape of the tree: source files per
# folder, the largest classes (lines of the header and the sources named after
# the class), and the mutable variables at namespace scope in the program's
# headers (the process-wide state outside the one state object).
#
#   bash scripts/architecture-figures.sh [top of a checkout]
set -euo pipefail
top=${1:-$(dirname "$0")/..}
cd "$top"
sources=$(git ls-files '*.cpp' '*.h' | grep -v '^tests/\|^bench/\|^fuzz/')

echo "Source files per folder (tests, benchmarks and fuzzers aside):"
echo "$sources" | xargs -n1 dirname | sort | uniq -c | awk '{ printf "  %4d  %s\n", $1, $2 }'

echo
echo "Largest classes (lines of Name.h and Name*.cpp):"
for header in $(echo "$sources" | grep '/C[A-Z][A-Za-z]*\.h$'); do
  folder=$(dirname "$header")
  name=$(basename "$header" .h)
  files=("$header")
  for source in "$folder/$name".cpp "$folder/$name"[A-Z]*.cpp; do
    [ -f "$source" ] && files+=("$source")
  done
  # A file of another class that shares the prefix (CCalcViewMarks.cpp for
  # CCalcView) counts for the class only when it has no header of its own.
  counted=()
  for file in "${files[@]}"; do
    base=$(basename "$file" .cpp)
    if [ "$file" != "$header" ] && [ "$base" != "$name" ] && [ -f "$folder/$base.h" ]; then
      continue
    fi
    counted+=("$file")
  done
  echo "$(cat "${counted[@]}" | wc -l) $name"
done | sort -rn | head -12 | awk '{ printf "  %5d  %s\n", $1, $2 }'

echo
echo "Mutable variables at namespace scope in headers:"
echo "$sources" | grep '\.h$' | xargs grep -nE '^\s*(inline|extern)\s' |
  grep -vE '\b(constexpr|const)\b|\(' | sed 's/^/  /' || true
count=$(echo "$sources" | grep '\.h$' | xargs grep -hE '^\s*(inline|extern)\s' | grep -vcE '\b(constexpr|const)\b|\(' || true)
echo "  total: $count"
