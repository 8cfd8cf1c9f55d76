#!/usr/bin/env bash
# The main job: runs Tarnwick.dll in the host stand-in under Wine and prints
# every host request and trace line of a load, start, run, stop, unload.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ "$(id -u)" = 0 ]; then
  scripts/install-deps.sh
fi
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Tarnwick tarnwick-host fakewmi >/dev/null

# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh
trap wine_env_teardown EXIT
wine_env_setup "$root/build/win32"

home="$root/build/demo-home"
rm -rf "$home"
mkdir -p "$home"
# Debug mode on, so the trace lines show what the plug-in does.
printf '\r\n[Settings]\r\nDebugMode              = 1\r\n' >"$home/tarnwick.ini"

cd build/win32
wine tarnwick-host.exe --dll Tarnwick.dll \
  version load "$home" start sleep 3000 stop unload 2>&1 | tr -d '\r'
