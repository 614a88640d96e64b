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
export QT_QPA_PLATFORM=offscreen
# Any finding ends the program that made it with a failing status.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:halt_on_error=1:detect_stack_use_after_return=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/sanitizer-leaks.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600 "$@"
