#!/usr/bin/env bash
# Renders manual pages as man does and fails on any warning of man or groff.
#
#     bash scripts/check-man-pages.sh PAGE...
set -euo pipefail
for page in "$@"; do
  if ! output=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null); then
    echo "man $page failed: $output" >&2
    exit 1
  fi
  if [ -n "$output" ]; then
    echo "man $page: $output" >&2
    exit 1
  fi
  [ -n "$(MANWIDTH=80 man -l "$page" 2>/dev/null)" ] || { echo "man $page shows nothing" >&2; exit 1; }
done
