#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer in a
# build folder of their own (build-sanitize) and runs the whole suite there,
# the fuzz corpus tests included. -O1 keeps the instrumented build and the
# run quick; the asserts stay on (TEVRA_SANITIZE does that).
#   bash scripts/sanitize.sh [ctest arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build_dir=${TEVRA_SANITIZE_BUILD_DIR:-build-sanitize}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
  -DTEVRA_SANITIZE=ON -DTEVRA_WERROR=ON -DTEVRA_BUILD_BENCH=OFF ${TEVRA_CMAKE_ARGS:-}
cmake --build "$build_dir" -j "$(nproc)"
source scripts/sanitizer-env.sh
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600 "$@"
