#!/usr/bin/env bash
# The main job: runs Tarnwick.dll in the host stand-in under Wine while the fake
# WMI provider plays a scenario of users entering, staying on and leaving shares.
# Alerts show on the console and as small windows (under Xvfb when there is no
# display); a screenshot is taken midway and the event log is printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ "$(id -u)" = 0 ]; then
  scripts/install-deps.sh
fi
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Tarnwick tarnwick-host fakewmi >/dev/null

demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo/home"

xvfb_pid=
cleanup() {
  wine_env_teardown
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:77
  Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  sleep 1
fi

# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh
trap cleanup EXIT
wine_env_setup "$root/build/win32"

# The user's settings: trace on, a presence interval of 5 minutes, the log in the
# demo folder, and two of the three shares selected as event sources.
printf '%s\r\n' "" "[Settings]" \
  "DebugMode              = 1" \
  "PluginMode             = 3" \
  "LogFile                = \"$demo/tarnwicklog.txt\"" \
  "PresenceUpdateInterval = 5" \
  "SourceWatchMode        = 1" \
  "" "[Sources]" \
  "SourcesCount           = 2" \
  "SourceName1           = Public" \
  "SourcePath1           = C:\\Shares\\Public" \
  "SourceName2           = Projects" \
  "SourcePath2           = C:\\Shares\\Projects" >"$demo/home/tarnwick.ini"

export TARNWICK_FAKEWMI_FILE="$demo/wmi-data.txt"
: >"$TARNWICK_FAKEWMI_FILE"

# A screenshot while alerts are on screen.
(sleep 14 && xwd -root -silent | convert xwd:- "$demo/alerts.png" 2>/dev/null) &
shot_pid=$!

cd build/win32
wine tarnwick-host.exe --dll Tarnwick.dll --alert-ms 6000 --alert-windows \
  version load "$demo/home" start play "$root/tools/demo/scenario.txt" stop unload 2>&1 | tr -d '\r'
wait "$shot_pid" || true

echo
echo "== event log ($demo/tarnwicklog.txt)"
tr -d '\r' <"$demo/tarnwicklog.txt" 2>/dev/null || echo "(no log file)"
[ -f "$demo/alerts.png" ] && echo "== screenshot: $demo/alerts.png"
