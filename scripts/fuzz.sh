#!/usr/bin/env bash
# Builds the libFuzzer targets of the portable core (preset fuzz: clang, ASan and
# UBSan, build/fuzz) and runs them one after the other, each from its seed corpus
# (tests/fuzz/corpus/<target>, read only) and the inputs earlier runs kept
# (build/fuzz/corpus/<target>), with its dictionary (tests/fuzz/<target>.dict).
#
#   bash scripts/fuzz.sh [-t SECONDS | -n RUNS] [TARGET...]
#
# -t runs each target for that many seconds (5 by default), -n for that many
# executions. Targets: settings_ini, expand_message, log_model (all by default).
# A target passes when it finds nothing; a finding leaves its input in
# build/fuzz/findings/ and the output in build/fuzz/<target>.log. Prints one line
# per target with its executions and executions per second, then
# "fuzz: N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

limit=-max_total_time=5
case ${1:-} in
  -t) limit=-max_total_time=$2; shift 2 ;;
  -n) limit=-runs=$2; shift 2 ;;
esac
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(settings_ini expand_message log_model)

# Longest input per target: past the 2047-character cut of a settings text, and
# past the 4095-character pieces of a log line.
max_len() {
  case $1 in
    expand_message) echo 4096 ;;
    *) echo 8192 ;;
  esac
}

if ! { cmake --preset fuzz >/dev/null && cmake --build --preset fuzz >build/fuzz-build.log 2>&1; }; then
  [ -f build/fuzz-build.log ] && tail -n 20 build/fuzz-build.log
  echo "fuzz: build failed"
  echo "fuzz: 0 passed, 1 failed"
  exit 1
fi

export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
passed=0
failed=0
for target in "${targets[@]}"; do
  program=build/fuzz/fuzz_$target
  log=build/fuzz/$target.log
  if [ ! -x "$program" ] || [ ! -d "tests/fuzz/corpus/$target" ]; then
    echo "fuzz $target: no such target"
    failed=$((failed + 1))
    continue
  fi
  mkdir -p "build/fuzz/corpus/$target" build/fuzz/findings
  "$program" "build/fuzz/corpus/$target" "tests/fuzz/corpus/$target" -dict="tests/fuzz/$target.dict" \
    -max_len="$(max_len "$target")" -timeout=10 "$limit" -print_final_stats=1 \
    -artifact_prefix="build/fuzz/findings/$target-" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  if [ $status -eq 0 ]; then
    echo "fuzz $target: passed, ${runs:-?} executions, ${speed:-?} exec/s"
    passed=$((passed + 1))
  else
    echo "fuzz $target: FAILED (exit $status), see $log"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|[a-z_]+: )|artifact' "$log" | head -n 5
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ $failed -eq 0 ]
