#!/usr/bin/env bash
# A timed run of "load" through the host stand-in under Wine: tarnwick.ini with
# 5,000 selected sources, and one with SourcesCount 2000000000. The stand-in
# prints the time of each step.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
# shellcheck source=scripts/wine-run.sh
. scripts/wine-run.sh

bench="$root/build/bench-load"
rm -rf "$bench"
mkdir -p "$bench/many" "$bench/huge"
{
  printf '\r\n[Settings]\r\n\r\n[Sources]\r\nSourcesCount           = 5000\r\n'
  for i in $(seq 1 5000); do
    printf 'SourceName%d           = Share%d\r\nSourcePath%d           = C:\\Shares\\Folder%d\r\n' "$i" "$i" "$i" "$i"
  done
} >"$bench/many/tarnwick.ini"
printf '[Sources]\r\nSourcesCount = 2000000000\r\n' >"$bench/huge/tarnwick.ini"

cd "build/$tw_arch"
for home in many huge; do
  echo "== $home: $(wc -c <"$bench/$home/tarnwick.ini") bytes"
  for run in 1 2 3; do
    wine_run tarnwick-host.exe --no-trace load "$bench/$home" unload 2>/dev/null | tr -d '\r' |
      sed -n '/^> load/{n;n;p}'
  done
done
