#!/usr/bin/env bash
# Builds the program and starts it: the desktop program when a display is
# there, otherwise the command-line calculator on the bundled example.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/bin/calculator-tevra ]; then
  exec build/bin/calculator-tevra "$@"
fi
echo "No display found: showing the command-line calculator on examples/example.vcl instead."
echo "(Start the desktop program from a graphical session with: build/bin/calculator-tevra)"
echo
exec build/bin/tevra examples/example.vcl
