#!/bin/sh
# Builds the fuzz targets with clang in a build directory of their own and runs each for a bounded
# time from its seed corpus (fuzz/corpus/<target>/). A crash, a failed check, a sanitizer report, a
# leak, an allocation above the limit or an input that hangs fails the run; the script then exits
# non-zero after running the rest.
#
#   fuzz/run-fuzzers.sh [TARGET...]        all targets when none is named
#
# FUZZ_SECONDS (default 8) is the time per target; FUZZ_BUILD_DIR (default build-fuzz) the build
# directory. New inputs found are kept in $FUZZ_BUILD_DIR/fuzz-work/<target>/corpus, so a later
# run goes on from them; the input of a failure is saved beside it in artifacts/.
set -eu
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-8}
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
all_targets="settings translations textdecoding versionpage highlight diff"
targets=${*:-$all_targets}

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++-14 \
  -DVARNOQUE_FUZZ=ON -DVARNOQUE_BUILD_TESTS=OFF -DVARNOQUE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" --target fuzzers -j2

# A smaller quarantine keeps the resident size of a run well below the limit; reports abort.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=32:detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}print_stacktrace=1:halt_on_error=1"

passed=0
failed=0
failed_targets=""
for target in $targets; do
  work="$build_dir/fuzz-work/$target"
  mkdir -p "$work/corpus" "$work/artifacts"
  log="$work/log.txt"
  # The classification reads the first 4096 bytes: longer inputs reach past that sample.
  case "$target" in
    textdecoding) extra="-max_len=8192" ;;
    *) extra="" ;;
  esac
  # One allocation of 256 MB or a resident size of 1 GB is far more than any input here calls for;
  # an input that runs 30 s hangs.
  if "$build_dir/fuzz/fuzz_$target" -max_total_time="$seconds" -malloc_limit_mb=256 -rss_limit_mb=1024 \
      -timeout=30 -print_final_stats=1 -artifact_prefix="$work/artifacts/" $extra \
      "$work/corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
    passed=$((passed + 1))
    result=ok
  else
    failed=$((failed + 1))
    failed_targets="$failed_targets $target"
    result=FAILED
    tail -n 80 "$log"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  echo "fuzz_$target: $result, ${runs:-?} executions in ${seconds}s (log: $log)"
done

[ -z "$failed_targets" ] || echo "failed fuzz targets:$failed_targets"
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
