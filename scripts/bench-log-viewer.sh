#!/usr/bin/env bash
# A timed run of the log viewer through the host stand-in under Wine: a log of
# 1,000,000 lines (about 76 MB) over 100 days, and one day of 10,000 lines. For
# each it prints the time from the click on "View log" until the viewer shows,
# what the process's private bytes grew by meanwhile, and the time of a click
# on a column header (sorted and painted). TARNWICK_LOG_LINES sets the big
# log's size, TARNWICK_BENCH_RUNS the runs of each (2), whose median click it prints.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
# shellcheck source=scripts/wine-run.sh
. scripts/wine-run.sh

bench="$root/build/bench-log-viewer"
rm -rf "$bench"
mkdir -p "$bench/home"
lines=${TARNWICK_LOG_LINES:-1000000}
# Fields of a usual width, users and shares out of order so a sort has work to do.
awk -v lines="$lines" -v per_day="$((lines / 100 > 0 ? lines / 100 : 1))" 'BEGIN {
  for (i = 0; i < lines; i++) {
    day = int(i / per_day); s = i % 86400
    printf "%02d/%02d/2026 %02d:%02d:%02d \"%s\" \"user%05d\" \"192.168.%d.%d\" \"host-%05d\" \"Share%03d\"\r\n",
      day % 28 + 1, int(day / 28) + 1, int(s / 3600), int(s / 60) % 60, s % 60, (i % 2 ? "LEAVE" : "ENTER"),
      (i * 7919) % 50000, (i * 13) % 256, (i * 31) % 256, (i * 104729) % 20000, (i * 37) % 500
  }
}' >"$bench/big.txt"
head -n 10000 "$bench/big.txt" | sed 's#^[0-9/]* #01/01/2026 #' >"$bench/day.txt"

cd "build/$tw_arch"
for log in big day; do
  printf "[Settings]\r\nLogFile = \"%s\"\r\n" "$bench/$log.txt" \
    >"$bench/home/tarnwick.ini"
  echo "== $log: $(wc -l <"$bench/$log.txt") lines, $(wc -c <"$bench/$log.txt") bytes"
  for _ in $(seq "${TARNWICK_BENCH_RUNS:-2}"); do
    # The User column: one day of 10,000 lines sorted by a column.
    wine_run tarnwick-host.exe --no-trace load "$bench/home" prefs time-viewer 1018 1021 2 unload 2>/dev/null |
      tr -d '\r' | grep -E '^  shown' || echo "  (no viewer shown)"
  done | tee "$bench/$log.runs"
  # The median click, sorted and painted, of the runs.
  sed -n 's/.*sorted and painted in \([0-9.]*\) ms.*/\1/p' "$bench/$log.runs" | sort -n |
    awk '{ t[NR] = $1 } END { if (NR) printf "  median of %d: sorted and painted in %.1f ms\n", NR, NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2 }'
done
