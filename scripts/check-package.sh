#!/usr/bin/env bash
# Installs what a build made the two ways a user gets it, into throwaway
# folders, and checks that it works there: `cmake --install` into a prefix,
# and the Debian package made by cpack, installed with dpkg into an empty
# root and removed again. Nothing of the real system is changed.
#
#     bash scripts/check-package.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "${1:?usage: check-package.sh BUILD_FOLDER}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

installed=(
  bin/calculator-tevra
  bin/tevra
  share/applications/calculator-tevra.desktop
  share/metainfo/invalid.calculator_tevra.CalculatorTevra.metainfo.xml
  share/mime/packages/calculator-tevra.xml
  share/icons/hicolor/scalable/apps/calculator-tevra.svg
  share/icons/hicolor/48x48/apps/calculator-tevra.png
  share/icons/hicolor/scalable/mimetypes/application-x-tevra-calculation.svg
  share/icons/hicolor/256x256/mimetypes/application-x-tevra-memory.png
  share/man/man1/calculator-tevra.1.gz
  share/man/man1/tevra.1.gz
  share/bash-completion/completions/tevra
  share/zsh/vendor-completions/_tevra
  share/doc/calculator-tevra/help/contents.html
  share/doc/calculator-tevra/help/messages.html
)

# Both programs answer, the desktop entry validates, the manual pages render
# without a warning and the desktop's MIME database knows the two types.
check_tree() {
  local share=$1/share bin=$1/bin
  for file in "${installed[@]}"; do
    [ -e "$1/$file" ] || fail "$file is not installed under $1"
  done
  [ "$("$bin/tevra" --version)" = "Calculator Tevra 01.01.001" ] || fail "tevra --version"
  [ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$bin/calculator-tevra" --version)" = "Calculator Tevra 01.01.001" ] \
    || fail "calculator-tevra --version"
  [ "$("$bin/tevra" -e '2+3*4')" = "2+3*4=14" ] || fail "tevra does not calculate"
  bash -c "source '$share/bash-completion/completions/tevra' && complete -p tevra" > /dev/null \
    || fail "the bash completion script does not load"
  zsh -n "$share/zsh/vendor-completions/_tevra" || fail "the zsh completion script does not parse"
  desktop-file-validate "$share/applications/calculator-tevra.desktop" || fail "the desktop entry does not validate"
  bash "$(dirname "$0")/check-metainfo.sh" "$share/metainfo/invalid.calculator_tevra.CalculatorTevra.metainfo.xml" \
    || fail "the AppStream metainfo does not validate"
  grep -q '^Exec=calculator-tevra %f$' "$share/applications/calculator-tevra.desktop" \
    || fail "the installed entry must start the program from the search path"
  bash "$(dirname "$0")/check-man-pages.sh" "$share/man/man1/calculator-tevra.1.gz" "$share/man/man1/tevra.1.gz" \
    || fail "the manual pages do not render cleanly"
  # The MIME database is built from a copy, so that the installed tree stays
  # as the package left it.
  local mime=$work/mime-check
  rm -rf "$mime" && mkdir -p "$mime/mime/packages"
  cp "$share/mime/packages/calculator-tevra.xml" "$mime/mime/packages/"
  XDG_DATA_DIRS="$mime" update-mime-database "$mime/mime"
  printf '\xff\xfe1\x00' > "$work/sample.vcl"
  printf '\xff\xfe1\x00' > "$work/sample.vcm"
  for kind in vcl:application/x-tevra-calculation vcm:application/x-tevra-memory; do
    found=$(HOME="$work" XDG_DATA_HOME="$work/no-user-data" XDG_DATA_DIRS="$mime:/usr/share" \
            XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$work/sample.${kind%%:*}")
    [ "$found" = "${kind#*:}" ] || fail "a .${kind%%:*} file is $found, not ${kind#*:}"
  done
}

echo "cmake --install into a prefix"
cmake --install "$build" --prefix "$work/prefix" > /dev/null
check_tree "$work/prefix"

echo "the Debian package"
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/package" > "$work/cpack.log" 2>&1) \
  || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/package/*.deb)
depends=$(dpkg-deb --field "$deb" Depends)
for library in libqt6widgets6 libqt6svg6 libedit2 libc6; do
  [[ "$depends" == *"$library"* ]] || fail "the package does not depend on $library: $depends"
done
[ "$(dpkg-deb --field "$deb" Package)" = calculator-tevra ] || fail "package name"

# dpkg into an empty root of its own: its own database, nothing else.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/info" "$root/var/log"
touch "$root/var/lib/dpkg/status"
# The root has no other packages: what the package depends on is this
# machine's, so dependency problems are expected and only logged.
dpkg --root="$root" --log=/dev/null --force-depends --force-script-chrootless -i "$deb" > "$work/dpkg.log" 2>&1 \
  || { cat "$work/dpkg.log"; fail "dpkg -i failed"; }
dpkg --root="$root" -s calculator-tevra | grep -q '^Status: install ok installed' || fail "not installed"
check_tree "$root/usr"
dpkg --root="$root" --log=/dev/null --force-script-chrootless -r calculator-tevra > "$work/dpkg.log" 2>&1 \
  || { cat "$work/dpkg.log"; fail "dpkg -r failed"; }
left=""
[ ! -d "$root/usr" ] || left=$(find "$root/usr" -type f | head -5)
[ -z "$left" ] || fail "removing the package leaves files behind: $left"
echo "installed, started and removed"
