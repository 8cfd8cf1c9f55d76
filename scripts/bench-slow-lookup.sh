#!/usr/bin/env bash
# A timed run of what one slow reverse lookup costs while the Active shares
# viewer builds its rows. The viewer copies the table under tracker_lock and
# resolves the listed addresses after releasing it, so the watcher, which needs
# that lock for its diff, keeps its 1 s poll while the lookup waits. A
# preloaded name service (tools/slowlookup) makes the lookups of one address
# take TARNWICK_SLOW_MS (default 3000) longer. It is a 64-bit Linux library, so this runs the x86-64
# twin. Prints the times of the watcher's queries (read off the fake WMI
# provider's query counter) and of the viewer's opening, and the gap between
# the watcher's queries around it. The first poll's gap is the watcher's own
# lookups: its Enter events are logged with host names.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
export TARNWICK_WINE_ARCH=win64
# shellcheck source=scripts/wine-run.sh
. scripts/wine-run.sh

bench="$root/build/bench-slow-lookup"
rm -rf "$bench"
mkdir -p "$bench/home"
gcc -O2 -Wall -Wextra -shared -fPIC -o "$bench/slow_lookup.so" tools/slowlookup/slow_lookup.c -ldl

slow_ms=${TARNWICK_SLOW_MS:-3000}
printf '%s\r\n' "[Settings]" "PluginMode = 2" "LogFile = \"$bench/tarnwicklog.txt\"" "SourceWatchMode = 1" \
  "[Sources]" "SourcesCount = 1" "SourceName1 = Public" "SourcePath1 = C:\\Shares\\Public" >"$bench/home/tarnwick.ini"
export TARNWICK_FAKEWMI_FILE="$bench/wmi-data.txt"
{
  printf '%s\n' "row Win32_Share" "Name str Public" "Path str C:\\Shares\\Public"
  id=0
  for address in 192.168.1.20 192.168.1.31 10.9.8.7 192.168.1.42 192.168.1.57; do
    id=$((id + 1))
    printf '%s\n' "row Win32_ServerConnection" "ActiveTime i4 $((id * 60))" "ComputerName str $address" \
      "ConnectionID i4 $id" "NumberOfFiles i4 1" "NumberOfUsers i4 1" "ShareName str Public" \
      "UserName str user$id" "Name str Public" "Caption str c$id" "Description str d$id"
  done
} >"$TARNWICK_FAKEWMI_FILE"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
started=$(now_ms)
: >"$bench/queries.txt"
# The query counter, watched from outside: one line per query, with its time.
(
  last=0
  while sleep 0.02; do
    count=$(cat "$TARNWICK_FAKEWMI_FILE.count" 2>/dev/null || echo 0)
    if [ "${count:-0}" != "$last" ]; then
      echo "query $count at $(($(now_ms) - started)) ms"
      last=$count
    fi
  done
) >>"$bench/queries.txt" &
watch_pid=$!

export TARNWICK_SHOT_DIR="$bench"
cd "build/$tw_arch"
# The first poll's Enter events look the slow address up on the watcher itself
# (for the log lines); the viewer opens once that is over.
LD_PRELOAD="$bench/slow_lookup.so" TARNWICK_SLOW_ADDRESS=10.9.8.7 TARNWICK_SLOW_MS=$slow_ms \
  wine_run tarnwick-host.exe --no-trace load "$bench/home" start sleep $((slow_ms + 3000)) prefs sleep 300 \
  modal 1028 active-shares sleep 3000 ok stop unload 2>&1 |
  while IFS= read -r line; do
    case ${line%$'\r'} in
      "> modal"*) echo "viewer clicked at $(($(now_ms) - started)) ms" >>"$bench/queries.txt" ;;
      "> shot"*)
        # The dialog shows once its rows are built; the stand-in waited 700 ms more.
        echo "viewer shown at $(($(now_ms) - started - 700)) ms" >>"$bench/queries.txt"
        touch "$bench/active-shares.done"
        ;;
    esac
  done
kill "$watch_pid" 2>/dev/null || true
wait "$watch_pid" 2>/dev/null || true

sort -n -k4 -t' ' "$bench/queries.txt" >"$bench/timeline.txt"
echo "== slow lookup of 10.9.8.7: $slow_ms ms; the watcher's queries and the viewer (build/bench-slow-lookup/timeline.txt)"
cat "$bench/timeline.txt"
awk '/^query/ { if (shown != "" && after == "") after = $4; else if (shown == "") before = $4 }
     /^viewer shown/ { shown = $4 }
     END { printf "== the watcher'"'"'s poll around the viewer'"'"'s opening: %d ms between two queries (about 1000 ms otherwise)\n", after - before }' \
  "$bench/timeline.txt"
