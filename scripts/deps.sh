#!/usr/bin/env bash
# Installs from Debian's packages whatever the build, the tests and the desktop
# program need and this machine lacks.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config locales libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
          qt6-base-dev qt6-svg-dev libgl1-mesa-dev libx11-dev fonts-liberation2 xvfb xauth xdotool
          desktop-file-utils shared-mime-info xdg-utils libglib2.0-bin libxml2-utils man-db groff-base dpkg-dev
          # Printing: the CUPS client library, and for the tests a private
          # cupsd with a PDF queue whose files are read back as text.
          libcups2-dev cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils)
# tevra's session at the terminal edits lines with libedit; the tests load
# its completion scripts in bash and zsh.
packages+=(libedit-dev zsh)
# appstreamcli validates the software centres' listing; setxkbmap and the
# layouts switch Xvfb's keyboard for the keyboard-layout tests.
packages+=(appstream x11-xkb-utils xkb-data)
# xev watches the screen for scripts/startup-time.sh.
packages+=(x11-utils)
# The format check and the static analysis (scripts/check-format.sh,
# scripts/tidy.sh).
packages+=(clang-format clang-tidy)
# The libFuzzer targets are built with clang (scripts/fuzz.sh).
packages+=(clang)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, so that the tests can show that numbers are
# read and printed the same whatever the C locale says.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd localedef -i de_DE -f UTF-8 de_DE.UTF-8 2>/dev/null || echo "Note: could not generate de_DE.UTF-8; one locale test will be skipped."
fi
