#!/usr/bin/env bash
# A timed run of the steady poll with file events on: 100 sessions on 10 shares
# and 1,000 open files (ten per session) served by the fake WMI provider, the
# plug-in started for two lengths of time with file events off and on. The
# difference between the two lengths takes out loading and the first poll (the
# one that reports every file), leaving the CPU time and the period of the polls
# in which nothing changes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
# shellcheck source=scripts/wine-run.sh
. scripts/wine-run.sh

bench="$root/build/bench-file-poll"
rm -rf "$bench"
mkdir -p "$bench/home"
data="$bench/wmi-data.txt"
{
  echo "quiet next"
  for s in $(seq 1 10); do printf 'row Win32_Share\nName str Share%d\nPath str C:\\Shares\\Share%d\n' "$s" "$s"; done
  for n in $(seq 1 100); do
    share=$((n % 10 + 1))
    printf 'row Win32_ServerConnection\nActiveTime i4 60\nComputerName str 10.0.%d.%d\nConnectionID i4 %d\n' \
      $((n / 250)) $((n % 250 + 1)) "$n"
    printf 'NumberOfFiles i4 10\nNumberOfUsers i4 1\nShareName str Share%d\nUserName str user%d\n' "$share" "$n"
    for f in $(seq 1 10); do
      printf 'row MSFT_SmbOpenFile\nFileId ui8 %d\nSessionId ui8 %d\nPath str C:\\Shares\\Share%d\\user%d\\file%d.docx\n' \
        $((n * 100 + f)) "$n" "$share" "$n" "$f"
      printf 'ShareRelativePath str user%d\\file%d.docx\nClientComputerName str 10.0.%d.%d\nClientUserName str DOM\\user%d\nPermissions ui4 3\nLocks ui4 0\n' \
        "$n" "$f" $((n / 250)) $((n % 250 + 1)) "$n"
    done
  done
} >"$data"
export TARNWICK_FAKEWMI_FILE="$data"

cd "build/$tw_arch"
# One run: "<cpu seconds> <queries>" for `ms` milliseconds started.
run() {
  local ms=$1
  rm -f "$data.count" "$data.log"
  /usr/bin/time -f '%U %S' -o "$bench/time" \
    "$tw_wine" tarnwick-host.exe --no-trace load "$bench/home" start sleep "$ms" stop unload >/dev/null 2>&1
  echo "$(awk '{print $1 + $2}' "$bench/time") $(sed 's/^0*//' "$data.count")"
}
for events in 0 1; do
  # Alerts on and no share selected: the polls run whole, and the first poll's 1,100 events
  # cost neither a log line nor a name lookup each (those would take the first half minute).
  printf '[Settings]\r\nPluginMode = 1\r\nDisplayEnterEvents = 0\r\nDisplayFileEvents = %d\r\n[Sources]\r\n' \
    "$events" >"$bench/home/tarnwick.ini"
  read -r cpu_short queries_short <<<"$(run 5000)"
  read -r cpu_long queries_long <<<"$(run 35000)"
  per_poll=$((events == 1 ? 3 : 1)) # sessions; with file events also shares and open files
  polls=$(((queries_long - queries_short) / per_poll))
  awk -v e="$events" -v cs="$cpu_short" -v cl="$cpu_long" -v p="$polls" 'BEGIN {
    printf "== file events %s: %d more polls in 30 s, %.1f ms CPU per poll, a poll every %.3f s\n",
      (e ? "on" : "off"), p, (cl - cs) * 1000 / p, 30 / p }'
done
