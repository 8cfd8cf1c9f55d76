#!/usr/bin/env bash
# Format check over the whole tree, the floors of the includes, clang-tidy and
# cppcheck over the portable core.
# Needs the native build's compile_commands.json (build/native).
set -uo pipefail
cd "$(dirname "$0")/.."
status=0

files=$(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run -Werror $files >/dev/null 2>&1; then
  echo "lint: not formatted:"
  clang-format --dry-run -Werror $files 2>&1 | grep -oE '^[^:]+\.(cpp|h)' | sort -u
  status=1
fi

bash scripts/check-layers.sh >/dev/null || {
  bash scripts/check-layers.sh
  status=1
}

core=$(ls src/*/*.cpp)
if ! clang-tidy -p build/native --quiet $core >build/clang-tidy.log 2>&1; then
  echo "lint: clang-tidy:"
  grep -E 'warning:|error:' build/clang-tidy.log
  status=1
fi

if ! cppcheck --quiet --enable=warning,performance,portability --std=c++17 --inline-suppr \
  --error-exitcode=1 -I src $core; then
  echo "lint: cppcheck found problems"
  status=1
fi
[ $status -eq 0 ] && echo "lint: clean"
exit $status
