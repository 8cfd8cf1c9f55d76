#!/usr/bin/env bash
# Many new clients in one poll on a slow name service, timed under 64-bit Wine
# (the x86-64 twin: the preloaded name service, tools/slowlookup, is a 64-bit
# Linux library). The clients come from 10.20.0.1 on, one address each, and
# every reverse lookup of them takes the case's delay and then answers a name.
# Each case (clients:delay in ms) runs the host stand-in twice:
#   1. the clients enter in the first poll: the time from that poll's query to
#      the last ENTER line in the log, how many lines carry a name rather than
#      the address, and a steady poll's wall time (query to query, less the
#      watcher's 1 s wait) and CPU time (of the whole process), over 5 polls;
#   2. the same with "stop" sent in the middle of the first poll: how long the
#      stop took and how many ENTER lines the log holds after it.
# Both count torn log lines (a line not of the log's form, or one written
# twice); the second also forced terminations. The trace is off, as users run
# the plug-in, so a forced termination is a stop that took the whole 5 s that
# "stop" waits for the watcher before it ends it by force.
#
#   bash scripts/bench-many-clients.sh [--build DIR] [--cases "N:MS ..."] [--cap S]
#
# --build takes Tarnwick.dll, tarnwick-host.exe and fakewmi.dll from DIR (read
# only; to time another tree's build) instead of building build/win64. --cap is
# how long a first poll may take before its case is cut short (default 40 s).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=""
cases="1:0 100:0 1000:0 1:500 100:500 300:500 1000:500 1:3000 100:3000 1000:3000"
cap=40
while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$(cd "$2" && pwd) && shift 2 ;;
    --cases) cases=$2 && shift 2 ;;
    --cap) cap=$2 && shift 2 ;;
    *) echo "usage: $0 [--build DIR] [--cases \"N:MS ...\"] [--cap SECONDS]" >&2 && exit 2 ;;
  esac
done
if [ -z "$build" ]; then
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 --target Tarnwick tarnwick-host fakewmi >/dev/null
  build="$root/build/win64"
fi

out="$root/build/bench-many-clients"
rm -rf "$out"
mkdir -p "$out/bin"
cp "$build/Tarnwick.dll" "$build/tarnwick-host.exe" "$build/fakewmi.dll" "$out/bin/"
gcc -O2 -Wall -Wextra -shared -fPIC -o "$out/slow_lookup.so" tools/slowlookup/slow_lookup.c -ldl

# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh
# shellcheck source=scripts/display.sh
. scripts/display.sh
host_pid=""
trap '[ -n "$host_pid" ] && kill "$host_pid" 2>/dev/null; wine_env_teardown; display_teardown' EXIT
display_setup
wine_env_setup "$out/bin" win64

now_ms() { echo $(($(date +%s%N) / 1000000)); }
queries() { cat "$TARNWICK_FAKEWMI_FILE.count" 2>/dev/null || echo 0; }
enters() {
  local n
  n=$(grep -c '"ENTER"' "$case_dir/log.txt" 2>/dev/null) || true
  echo "${n:-0}"
}
# CPU time of the host process so far, in ms (user and system, every thread).
cpu_ms() { awk -v hz="$(getconf CLK_TCK)" '{ print int(($14 + $15) * 1000 / hz) }' "/proc/$host_pid/stat"; }

# prepare N MS KIND: the case's folder, settings, sessions and environment.
prepare() {
  case_dir="$out/$1-$2-$3"
  mkdir -p "$case_dir/home"
  printf '%s\r\n' "[Settings]" "PluginMode = 3" "LogFile = \"$case_dir/log.txt\"" \
    "SourceWatchMode = 1" "[Sources]" "SourcesCount = 1" "SourceName1 = Public" \
    "SourcePath1 = C:\\Shares\\Public" >"$case_dir/home/tarnwick.ini"
  export TARNWICK_FAKEWMI_FILE="$case_dir/wmi.txt"
  awk -v n="$1" 'BEGIN {
    print "quiet next"
    print "row Win32_Share"; print "Name str Public"; print "Path str C:\\Shares\\Public"
    for (i = 0; i < n; i++) {
      a = 10 * 16777216 + 20 * 65536 + 1 + i
      printf "row Win32_ServerConnection\nActiveTime i4 60\nComputerName str %d.%d.%d.%d\n", int(a / 16777216) % 256, int(a / 65536) % 256, int(a / 256) % 256, a % 256
      printf "ConnectionID i4 %d\nNumberOfFiles i4 1\nNumberOfUsers i4 1\nShareName str Public\n", i + 1
      printf "UserName str user%d\nName str Public\nCaption str c%d\nDescription str d%d\n", i + 1, i + 1, i + 1
    }
  }' >"$TARNWICK_FAKEWMI_FILE"
  export TARNWICK_SLOW_FIRST=10.20.0.1 TARNWICK_SLOW_COUNT=$1 TARNWICK_SLOW_MS=$2 TARNWICK_SLOW_NAMES=1
}

# host STEPS...: the host stand-in in the background, its output in the case's folder.
host() {
  (cd "$out/bin" && LD_PRELOAD="$out/slow_lookup.so" exec "$tw_wine" tarnwick-host.exe "$@") \
    >"$case_dir/host.txt" 2>&1 &
  host_pid=$!
}

# The host stand-in prints each step's time: "> stop", then "  = 0 (5012.3 ms)".
step_ms() { awk -v step="> $1" '{ sub(/\r$/, "") } $0 == step { s = 1; next } s && /^  = / { gsub(/[()]/, ""); print int($3); exit }' "$case_dir/host.txt"; }

# Lines not of the log's form, and lines written more than once.
torn() {
  local bad twice
  bad=$(grep -cvE '^[0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2} "ENTER" "user[0-9]+" "10\.20\.[0-9]+\.[0-9]+" "[^"]+" "Public"'$'\r''$' \
    "$case_dir/log.txt" 2>/dev/null || true)
  twice=$(cut -d' ' -f3- "$case_dir/log.txt" 2>/dev/null | sort | uniq -d | wc -l)
  echo $((${bad:-0} + twice))
}

# Run 1: the first poll's lines, then a steady poll.
first_poll() {
  prepare "$1" "$2" poll
  local started="" first="" last="" now a_time a_cpu b_time b_cpu count
  host load "$case_dir/home" start sleep 600000 stop unload
  while sleep 0.02; do
    now=$(now_ms)
    if [ -z "$started" ] && grep -q '^> start' "$case_dir/host.txt"; then started=$now; fi
    if [ -z "$first" ] && [ "$(queries)" -ge 1 ]; then first=$now && started=${started:-$now}; fi
    if [ -n "$first" ] && [ "$(enters)" -ge "$1" ]; then last=$now && break; fi
    if [ -n "$first" ] && [ $((now - first)) -gt $((cap * 1000)) ]; then break; fi
  done
  start_to_query=$((first - started))
  if [ -n "$last" ]; then
    poll_ms=$((last - first))
    poll_text="$poll_ms ms"
    count=$(queries)
    while [ "$(queries)" -le "$count" ]; do sleep 0.005; done
    a_time=$(now_ms) a_cpu=$(cpu_ms)
    while [ "$(queries)" -le $((count + 5)) ]; do sleep 0.005; done
    b_time=$(now_ms) b_cpu=$(cpu_ms)
    steady_wall="$(((b_time - a_time) / 5 - 1000)) ms"
    steady_cpu="$(((b_cpu - a_cpu) / 5)) ms"
  else
    poll_ms=$((cap * 1000))
    poll_text="> ${cap} s ($(enters) of $1 lines)"
    steady_wall="-" steady_cpu="-"
  fi
  named=$(grep -c '"client-' "$case_dir/log.txt" || true)
  kill "$host_pid" 2>/dev/null || true
  wait "$host_pid" 2>/dev/null || true
  host_pid=""
  poll_torn=$(torn)
}

# Run 2: "stop" in the middle of the first poll.
stop_in_poll() {
  prepare "$1" "$2" stop
  host load "$case_dir/home" start sleep $((start_to_query + poll_ms / 2)) stop unload
  wait "$host_pid" || true
  host_pid=""
  stop_ms=$(step_ms stop)
  stop_lines=$(enters)
  stop_forced=$((${stop_ms:-0} >= 5000 ? 1 : 0))
  stop_torn=$(torn)
}

echo "== $(basename "$build") build from $build"
printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' clients lookup "query to last ENTER" \
  "lines named" "steady poll wall" "steady poll CPU" "stop mid-poll" "lines after stop" forced torn
printf '|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n'
for c in $cases; do
  n=${c%%:*} ms=${c##*:}
  first_poll "$n" "$ms"
  stop_in_poll "$n" "$ms"
  printf '| %s | %s ms | %s | %s | %s | %s | %s ms | %s of %s | %s | %s |\n' "$n" "$ms" "$poll_text" "$named" \
    "$steady_wall" "$steady_cpu" "${stop_ms:-?}" "$stop_lines" "$n" "$stop_forced" \
    $((poll_torn + stop_torn))
done
