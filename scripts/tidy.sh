#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over the project's own
# sources, as compile_commands.json compiles them, several files at a time.
# Exits with 1 when any file has a finding (every finding is an error).
#
#   bash scripts/tidy.sh              every folder: core cli desktop tools fuzz bench tests
#   bash scripts/tidy.sh core cli     only the files under these folders
#
# TEVRA_BUILD_DIR names the build folder (default build); it is configured
# when it has no compile_commands.json yet. TEVRA_TIDY_JOBS sets how many
# files are checked at once (default: the number of processors).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build_dir=${TEVRA_BUILD_DIR:-build}
jobs=${TEVRA_TIDY_JOBS:-$(nproc)}
tidy=$(command -v clang-tidy-14 || command -v clang-tidy || true)
if [ -z "$tidy" ]; then
  echo "clang-tidy is missing: bash scripts/deps.sh installs it" >&2
  exit 2
fi

folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=(core cli desktop tools fuzz bench tests)

if [ ! -f "$build_dir/compile_commands.json" ]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${TEVRA_CMAKE_ARGS:-} >/dev/null
fi

# The translation units of the chosen folders; generated files (moc, resources)
# live in the build folder and are not ours to check.
pattern="^$root/($(IFS='|'; echo "${folders[*]}"))/"
mapfile -t files < <(python3 - "$build_dir/compile_commands.json" "$pattern" <<'EOF'
import json, os, re, sys
entries = json.load(open(sys.argv[1]))
wanted = re.compile(sys.argv[2])
files = sorted({os.path.normpath(os.path.join(e["directory"], e["file"])) for e in entries})
print("\n".join(f for f in files if wanted.match(f)))
EOF
)
if [ ${#files[@]} -eq 0 ]; then
  echo "No sources under: ${folders[*]}" >&2
  exit 2
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
echo "clang-tidy on ${#files[@]} files under ${folders[*]}, $jobs at a time"
start=$SECONDS
status=0
# Each file's findings go to a file of their own, so that parallel runs do not
# mix their lines.
printf '%s\n' "${files[@]}" |
  xargs -P "$jobs" -I{} sh -c 'log="$3/$(echo "$2" | tr / _).log"; "$1" -p "$4" --quiet "$2" >"$log" 2>&1 || exit 1; rm -f "$log"' \
    sh "$tidy" {} "$out" "$build_dir" || status=1
if [ $status -ne 0 ]; then
  # Every finding once, however many files include its header, by its path
  # from the top of the tree.
  findings=$(cat "$out"/*.log | grep -E ': (error|warning): ' | sed -E "s|^$root/||; s|^[^:]*/\.\./||" | sort -u || true)
  # A run that failed without a finding (a crash, a missing header) shows whole.
  [ -n "$findings" ] && echo "$findings" || cat "$out"/*.log
  echo "clang-tidy: findings above ($((SECONDS - start)) s); clang-tidy -p BUILD_DIR FILE shows a file's in full" >&2
  exit 1
fi
echo "clang-tidy: no findings ($((SECONDS - start)) s)"
