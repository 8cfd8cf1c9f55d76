#!/usr/bin/env bash
# The test command: installs what is missing, builds both presets, runs the
# native unit tests (plain and under ASan/UBSan) and the Wine tests in a
# throw-away prefix, and ends with one line "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$(date +%s)

if [ "$(id -u)" = 0 ]; then
  scripts/install-deps.sh || { echo "dependency installation failed"; echo "0 passed, 1 failed"; exit 1; }
fi

build() {
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1"
}

passed=0
failed=0
# ctest prints "NN% tests passed, F tests failed out of T"; add these up.
count() {
  local log=$1 line f t
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    failed=$((failed + 1))
    return
  fi
  f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
  passed=$((passed + t - f))
  failed=$((failed + f))
}

mkdir -p build
for preset in native native-sanitize; do
  echo "== $preset: build"
  if build "$preset"; then
    echo "== $preset: tests"
    ctest --preset "$preset" -j2 2>&1 | tee "build/ctest-$preset.log" | grep -E '\*\*\*|tests passed'
    count "build/ctest-$preset.log"
  else
    echo "== $preset: BUILD FAILED"
    failed=$((failed + 1))
  fi
done

echo "== lint"
if bash scripts/lint.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

echo "== win32: build"
if build win32; then
  if bash scripts/check-dll.sh build/win32/Tarnwick.dll; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
  # shellcheck source=scripts/wine-env.sh
  . scripts/wine-env.sh
  trap wine_env_teardown EXIT
  wine_env_setup "$root/build/win32"
  echo "== win32: Wine tests"
  (cd build/win32 && ctest -j2 --output-on-failure --timeout 120) 2>&1 | tee build/ctest-wine.log |
    grep -E '\*\*\*|tests passed'
  count build/ctest-wine.log
else
  echo "== win32: BUILD FAILED"
  failed=$((failed + 1))
fi

echo "took $(( $(date +%s) - started )) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
