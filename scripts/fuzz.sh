#!/usr/bin/env bash
# Fuzzes every reader of outside bytes with libFuzzer under AddressSanitizer and UBSan (clang, the fuzz preset).
#   scripts/fuzz.sh [seconds per target] [target ...]
# Seeds come from the system's own writers (fuzz_seed_writer); the corpus grows in build/fuzz/corpus/<target>.
# Findings of the last run go to build/fuzz/findings/<target>/: crashes and sanitizer reports, and also inputs that
# take too long (timeout-*, slow-unit-*) or too much memory (oom-*, or any single allocation past the malloc limit):
# a reader that spends seconds or gigabytes on a small input is as much a fault as one that crashes. Minimise one
# with
#   build/fuzz/fuzzers/fuzz_<target> -minimize_crash=1 -runs=10000 <file>
# and keep it in fuzz/regressions/<target>/, which ctest replays in the normal build. FUZZ_JOBS targets run at
# once (default: one per core). Exits 1 when anything was found.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true

scripts/install-deps.sh --fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

out=build/fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/targets/*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
rm -rf "$out/seeds"
"$out/fuzzers/fuzz_seed_writer" "$out/seeds" >/dev/null

# The targets run side by side, one core each.
run_target() {
  local name="$1" seconds="$2" out="$3"
  rm -rf "$out/findings/$name"
  mkdir -p "$out/corpus/$name" "$out/findings/$name" "$out/logs"
  local regressions=()
  if [ -d "fuzz/regressions/$name" ]; then regressions=("fuzz/regressions/$name"); fi
  local dictionary=()
  if [ -f "fuzz/dict/$name.dict" ]; then
    dictionary=(-dict="fuzz/dict/$name.dict")
  else
    echo "$name: no dictionary fuzz/dict/$name.dict, fuzzing without one" >&2
  fi
  # Limits: an input may take 10 s and 2 GiB in all, no single allocation past 1 GiB; units slower than 5 s are
  # written out as slow-unit-* (libFuzzer then carries on, so they are counted below).
  local status=0
  "$out/fuzzers/fuzz_$name" -max_total_time="$seconds" -timeout=10 -report_slow_units=5 -rss_limit_mb=2048 \
      -malloc_limit_mb=1024 -print_final_stats=1 "${dictionary[@]}" -artifact_prefix="$out/findings/$name/" \
      "$out/corpus/$name" "$out/seeds/$name" "${regressions[@]}" >"$out/logs/$name.log" 2>&1 || status=$?
  local findings
  findings=$(find "$out/findings/$name" -type f | wc -l)
  if [ "$status" -eq 0 ] && [ "$findings" -eq 0 ]; then
    echo "$name: clean ($(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$out/logs/$name.log" | grep -o '[0-9]*$') runs)"
  else
    echo "$name: FINDING (exit $status, $findings files: $(cd "$out/findings/$name" && ls | sed 's/-.*//' | sort | uniq -c | xargs)), see $out/logs/$name.log and $out/findings/$name/"
  fi
}
export -f run_target
printf '%s\n' "${targets[@]}" | xargs -P "${FUZZ_JOBS:-$(nproc)}" -I{} bash -c 'run_target "$@"' _ {} "$seconds" "$out" \
  | tee "$out/summary.txt"
! grep -q FINDING "$out/summary.txt"
