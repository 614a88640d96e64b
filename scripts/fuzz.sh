#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan on) and runs each
# for a given time on a copy of its checked-in corpus:
#   bash scripts/fuzz.sh [seconds per target, default 300] [targets...]
# With TEVRA_FUZZ_RUNS=N each target stops after N executions instead (the
# time is then only an upper bound); TEVRA_FUZZ_TIMEOUT=S makes an input that
# runs S seconds (default 10) a timeout: raise it for a long campaign beside
# other work, where a niced fuzzer may wait seconds for the processor; -max_len caps an input at the length the
# checks find worth trying (LongestInput in fuzz/FuzzChecks.h).
# Targets: execute (calculation text), files (calculation and memory files),
# preferences (the settings file). A crash or a timeout leaves its input in
# build-fuzz/findings/<target>/; check it into fuzz/corpus/<corpus>/ once the
# fault is mended, so that the corpus test guards it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(execute files preferences)
build_dir=${TEVRA_FUZZ_BUILD_DIR:-build-fuzz}

CXX=clang++ CC=clang cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTEVRA_FUZZ=ON \
  -DTEVRA_BUILD_TESTS=OFF -DTEVRA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j 2 --target "${targets[@]/#/tevra_fuzz_}"

# An instrumented calculation needs a stack of about 40 MB (see
# core/engine/EngineStack.h). With a main thread that large the engine runs on
# it instead of handing every input to its helper thread, several times
# faster.
ulimit -s $((128 * 1024)) 2>/dev/null || ulimit -s unlimited 2>/dev/null || true

# AddressSanitizer records the call stack of every allocation, to say where a
# block it reports was made and freed. Through the uninstrumented Qt
# libraries those stacks are mostly distinct, so the record grows for the
# whole campaign and each allocation gets dearer (recording them took half
# of the preferences target's time). A campaign records none; replay a
# finding from build-fuzz/findings with ASAN_OPTIONS=malloc_context_size=30
# for the full report. Options given in ASAN_OPTIONS come after this one and
# win.
export ASAN_OPTIONS="malloc_context_size=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"

for target in "${targets[@]}"; do
  case $target in
    execute) corpus=text ;;
    files) corpus=files ;;
    preferences) corpus=preferences ;;
    *) echo "unknown target: $target" >&2; exit 2 ;;
  esac
  work="$build_dir/corpus/$target"
  findings="$build_dir/findings/$target"
  mkdir -p "$work" "$findings"
  cp -n fuzz/corpus/$corpus/* "$work/"
  echo "== $target: $seconds s"
  # The checks give each input a fixed amount of work, so an input that runs
  # for seconds is a real hang.
  runs=()
  [ -z "${TEVRA_FUZZ_RUNS:-}" ] || runs=(-runs="$TEVRA_FUZZ_RUNS")
  corpus_before=$(ls "$work" | wc -l)
  findings_before=$(ls "$findings" | wc -l)
  log="$build_dir/fuzz-$target.log"
  # The processor time the program took, beside the wall-clock rate
  # libFuzzer prints: executions per second of processor time is the rate on
  # one core, whatever else the machine runs.
  /usr/bin/time -f "cpu %U %S" -o "$build_dir/fuzz-$target.time" \
    "$build_dir/bin/tevra_fuzz_$target" -max_total_time="$seconds" "${runs[@]}" -max_len=4096 -timeout="${TEVRA_FUZZ_TIMEOUT:-10}" \
    -rss_limit_mb=4096 -artifact_prefix="$findings/" -print_final_stats=1 "$work" >"$log" 2>&1 || true
  grep -E "stat::number_of_executed_units|stat::average_exec_per_sec|stat::slowest_unit_time_sec|ERROR|Done" "$log" || true
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  read -r _ user system < <(grep '^cpu ' "$build_dir/fuzz-$target.time")
  awk -v n="${executions:-0}" -v u="$user" -v s="$system" \
    'BEGIN { printf "executions per second of processor time: %.0f (%d in %.1f s)\n", n / (u + s), n, u + s }'
  echo "corpus: $corpus_before inputs before, $(ls "$work" | wc -l) after; new findings: $(($(ls "$findings" | wc -l) - findings_before))"
done
