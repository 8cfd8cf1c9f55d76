#!/usr/bin/env bash
# The soak run under Wine: the plug-in's life from "load" to "unload", CYCLES
# times (1,000 unless given) in one host stand-in process, once steady and once
# with the WMI query failing in every other poll (tools/host/soak.h says what a
# cycle holds). The stand-in prints the process's handles, GDI and USER objects,
# private bytes and heap in use at the start, after the first cycle and every
# 100 cycles; then the event log is checked: every line well formed, and each
# session's lines alternate ENTER, LEAVE, so no line was written twice or lost.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
cycles=${1:-1000}
# shellcheck source=scripts/wine-run.sh
. scripts/wine-run.sh

soak="$root/build/soak"
rm -rf "$soak"
mkdir -p "$soak/home"
export TARNWICK_FAKEWMI_FILE="$soak/wmi.txt"

# Each session's log lines must alternate, starting with ENTER; prints the count.
check_log() {
  tr -d '\r' <"$1" | awk '
    !/^[0-3][0-9]\/[01][0-9]\/[0-9][0-9][0-9][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9] "(ENTER|LEAVE)" "[a-z0-9]+" "127\.0\.0\.1" "[^"]+" "(Public|Docs)"$/ {
      printf "log line %d is not well formed: %s\n", NR, $0; bad = 1; next
    }
    {
      user = $4; event = $3
      want = (state[user] == "\"ENTER\"") ? "\"LEAVE\"" : "\"ENTER\""
      if (event != want) { printf "log line %d: %s %s twice in a row\n", NR, user, event; bad = 1 }
      state[user] = event
    }
    END { if (bad) exit 1; printf "log: %d lines, well formed, each session entering and leaving in turn\n", NR }'
}

cd "build/$tw_arch"
for mode in steady failing; do
  printf '[Settings]\r\nLogFile = "%s"\r\nPresenceUpdateInterval = 5\r\n[Sources]\r\n' "$soak/home/events.log" \
    >"$soak/home/tarnwick.ini"
  printf 'SourcesCount = 2\r\nSourceName1 = Public\r\nSourceName2 = Docs\r\n' >>"$soak/home/tarnwick.ini"
  rm -f "$soak/home/events.log"
  args=(soak "$soak/home" "$cycles")
  [ "$mode" = failing ] && args+=(failing)
  echo "== $mode"
  wine_run tarnwick-host.exe --no-trace "${args[@]}" 2>&1 | tr -d '\r' | grep -E '^soak \||^cycle|cannot|^  = '
  check_log "$soak/home/events.log"
done
