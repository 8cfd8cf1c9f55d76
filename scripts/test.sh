#!/usr/bin/env bash
# The test command: installs what is missing, builds every preset, runs the
# native unit tests (plain, under ASan/UBSan and under ThreadSanitizer), each
# fuzz target for a few seconds, lint, the DLL boundary check and the Wine tests
# in throw-away prefixes, and ends with one line "N passed, N failed".
#
# The product is the i686 build. Its Wine tests run where a 32-bit Windows
# program starts; the x86-64 twin's Wine tests run everywhere. By default the
# run tries the 32-bit one and picks; TARNWICK_WINE_ARCH=win32|win64|both
# forces a choice.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$(date +%s)

wine_arch=${TARNWICK_WINE_ARCH:-auto}
case $wine_arch in
  auto | win32 | win64 | both) ;;
  *)
    echo "TARNWICK_WINE_ARCH must be win32, win64 or both (or unset), not \"$wine_arch\""
    echo "0 passed, 1 failed"
    exit 1
    ;;
esac

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
for preset in native native-sanitize native-tsan; do
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

# Each target passes when it finds nothing in its few seconds.
echo "== fuzz"
bash scripts/fuzz.sh -t 5 2>&1 | tee build/fuzz.log
fuzz_line=$(grep -E '^fuzz: [0-9]+ passed, [0-9]+ failed' build/fuzz.log | tail -n 1)
if [ -n "$fuzz_line" ]; then
  passed=$((passed + $(sed -E 's/^fuzz: ([0-9]+) passed.*/\1/' <<<"$fuzz_line")))
  failed=$((failed + $(sed -E 's/.* ([0-9]+) failed$/\1/' <<<"$fuzz_line")))
else
  failed=$((failed + 1))
fi

echo "== lint"
if bash scripts/lint.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh
# shellcheck source=scripts/display.sh
. scripts/display.sh
trap 'wine_env_teardown; display_teardown' EXIT

# Runs one build's Wine tests in its own prefix. The prefix is already set up
# when the second argument says so (the 32-bit probe made it).
wine_tests() {
  local arch=$1 ready=${2:-}
  if [ -z "$ready" ] && ! wine_env_setup "$root/build/$arch" "$arch"; then
    echo "== $arch: Wine could not be set up"
    failed=$((failed + 1))
    return
  fi
  echo "== $arch: Wine tests"
  (cd "build/$arch" && ctest -j2 --output-on-failure --timeout 120) 2>&1 | tee "build/ctest-wine-$arch.log" |
    grep -E '\*\*\*|tests passed'
  count "build/ctest-wine-$arch.log"
  wine_env_teardown
}

echo "== win32: build"
win32_built=
if build win32; then
  win32_built=1
  if bash scripts/check-dll.sh build/win32/Tarnwick.dll; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
else
  echo "== win32: BUILD FAILED"
  failed=$((failed + 1))
fi

win64_built=
if [ "$wine_arch" != win32 ]; then
  echo "== win64: build"
  if build win64; then win64_built=1; else
    echo "== win64: BUILD FAILED"
    failed=$((failed + 1))
  fi
fi

# The Wine tests open windows (and 64-bit Wine has no desktop without a display).
display_setup

run_win32=
run_win64=
case $wine_arch in
  win32) run_win32=$win32_built ;;
  win64) run_win64=$win64_built ;;
  both) run_win32=$win32_built run_win64=$win64_built ;;
  auto)
    run_win64=$win64_built
    if [ -n "$win32_built" ]; then
      if win32_runs_here "$root/build/win32"; then
        echo "== a 32-bit Windows program starts here: Wine tests of the i686 build, then of the x86-64 twin"
        wine_tests win32 ready
      else
        echo "== this machine cannot run 32-bit code: Tarnwick.dll (i686) was built and checked statically only; the Wine tests run on the x86-64 twin"
      fi
    fi
    ;;
esac
[ -n "$run_win32" ] && wine_tests win32
[ -n "$run_win64" ] && wine_tests win64

# The installer: the i686 package checked as files, the twin's installed, run,
# upgraded and removed by msiexec under 64-bit Wine (scripts/test-msi.sh).
msi_tests() {
  local line
  echo "== msi: the packages, and the installer under Wine"
  bash scripts/test-msi.sh 2>&1 | tee build/msi.log
  line=$(grep -E '^msi: [0-9]+ passed, [0-9]+ failed$' build/msi.log | tail -n 1)
  if [ -z "$line" ]; then
    failed=$((failed + 1))
    return
  fi
  passed=$((passed + $(sed -E 's/^msi: ([0-9]+) passed.*/\1/' <<<"$line")))
  failed=$((failed + $(sed -E 's/.* ([0-9]+) failed$/\1/' <<<"$line")))
}
if [ -n "$win32_built" ] && [ -n "$win64_built" ]; then
  msi_tests
else
  echo "== msi: not run (it needs both builds)"
fi

echo "took $(($(date +%s) - started)) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
