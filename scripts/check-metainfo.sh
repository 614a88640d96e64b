#!/usr/bin/env bash
# Checks the software centres' listing (AppStream metainfo): appstreamcli
# finds no error and no warning, it launches the program's desktop entry, its
# release is the program's version, and every screenshot it lists is one of
# docs/screenshots.
#
#     bash scripts/check-metainfo.sh METAINFO_FILE
set -euo pipefail
file=${1:?usage: check-metainfo.sh METAINFO_FILE}
root=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "check-metainfo: $*" >&2; exit 1; }

command -v appstreamcli >/dev/null || fail "appstreamcli is missing (Debian package appstream; run scripts/deps.sh)"
[ -f "$file" ] || fail "$file does not exist"
# The network is never asked: the screenshots are checked against the tree.
appstreamcli validate --no-net "$file" || fail "$file does not validate"
grep -q '<launchable type="desktop-id">calculator-tevra.desktop</launchable>' "$file" \
  || fail "the listing does not launch calculator-tevra.desktop"
version=$(sed -n 's/^project(CalculatorTevra VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
grep -q "<release version=\"$version\"" "$file" || fail "no release $version"
count=0
while read -r image; do
  name=${image##*/}
  [ -f "$root/docs/screenshots/$name" ] || fail "screenshot $name is not in docs/screenshots"
  count=$((count + 1))
done < <(sed -n 's|.*<image[^>]*>\(.*\)</image>.*|\1|p' "$file")
[ "$count" -gt 0 ] || fail "the listing has no screenshot"
echo "metainfo valid, $count screenshots"
