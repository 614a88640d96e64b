#!/usr/bin/env bash
# Checks that every tracked C++ file (.cpp, .h) is formatted as the
# checked-in .clang-format says: lists the files that are not and exits with
# 1. To format a file: clang-format -i FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "clang-format is missing: bash scripts/deps.sh installs it" >&2
  exit 2
fi
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
  # An unpacked source archive: every C++ file but those of build folders.
  mapfile -t files < <(find . -path './build*' -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort)
fi
if [ ${#files[@]} -eq 0 ]; then
  echo "No C++ files found" >&2
  exit 2
fi
report=$(mktemp)
trap 'rm -f "$report"' EXIT
if ! "$format" --dry-run -Werror "${files[@]}" 2>"$report"; then
  grep -oE '^[^:]+\.(cpp|h)' "$report" | sort -u | sed 's/^/not formatted: /'
  echo "Format them with: clang-format -i FILE..." >&2
  exit 1
fi
echo "Format: all ${#files[@]} C++ files follow .clang-format"
