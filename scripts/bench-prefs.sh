#!/usr/bin/env bash
# Timed runs of "prefsShow" through the host stand-in under Wine: the first show
# (the tab host and its five pages created, the shares read through the fake WMI
# provider) with 4, 1,000 and 10,000 shares. The stand-in prints each step's time.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# shellcheck source=scripts/wine-run.sh
. scripts/wine-run.sh

bench="$root/build/bench-prefs"
rm -rf "$bench"
mkdir -p "$bench/home"
printf '[Settings]\r\n[Sources]\r\nSourcesCount = 1\r\nSourceName1 = Share7\r\n' >"$bench/home/tarnwick.ini"
export TARNWICK_FAKEWMI_FILE="$bench/wmi.txt"

cd "build/$tw_arch"
for shares in 4 1000 10000; do
  {
    # Next unjournalled: the fake's file write per row would swamp the page's own time.
    echo "quiet next"
    for i in $(seq 1 "$shares"); do
      # Names out of order, so the sort has work to do.
      printf 'row Win32_Share\nName str Share%d\nPath str C:\\Shares\\%d\n' $(((i * 7919) % shares)) "$i"
    done
  } >"$TARNWICK_FAKEWMI_FILE"
  echo "== $shares shares"
  for run in 1 2 3; do
    # prefsShow 0 makes the stand-in's own window first, so the step times only the plug-in.
    wine_run tarnwick-host.exe --no-trace load "$bench/home" prefsShow 0 prefs ok unload 2>/dev/null | tr -d '\r' |
      sed -n "/^> prefs$/,/^  = /p" | tail -n 1
  done
done
