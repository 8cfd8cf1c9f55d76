#!/usr/bin/env bash
# The main job: runs Tarnwick.dll in the host stand-in under Wine while the fake
# WMI provider plays a scenario of users entering, staying on and leaving shares.
# Alerts show on the console and as small windows (under Xvfb when there is no
# display); a screenshot is taken midway and the event log is printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
# --readme-images: also refresh the README's two pictures from this run's screenshots.
readme_images=
[ "${1:-}" = --readme-images ] && readme_images=1

if [ "$(id -u)" = 0 ]; then
  scripts/install-deps.sh
fi

# shellcheck source=scripts/wine-run.sh
. scripts/wine-run.sh
arch=$tw_arch

demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo/home"

# The user's settings: trace on, a presence interval of 5 minutes, the log in the
# demo folder, two of the three shares selected as event sources, and two
# visitor rules: the backup account quiet, the NAS boxes hidden.
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
  "SourcePath2           = C:\\Shares\\Projects" \
  "" "[Visitors]" \
  "RulesCount             = 2" \
  "RuleUser1              = \"backup\"" \
  "RuleComputer1          = \"\"" \
  "RuleAction1            = 1" \
  "RuleUser2              = \"\"" \
  "RuleComputer2          = \"nas-*\"" \
  "RuleAction2            = 2" >"$demo/home/tarnwick.ini"

export TARNWICK_FAKEWMI_FILE="$demo/wmi-data.txt"
: >"$TARNWICK_FAKEWMI_FILE"

# A screenshot while alerts are on screen.
(sleep 14 && xwd -root -silent | convert xwd:- "$demo/alerts.png" 2>/dev/null) &
shot_pid=$!

cd "build/$arch"
wine_run tarnwick-host.exe --dll Tarnwick.dll --alert-ms 6000 --alert-windows \
  version load "$demo/home" start play "$root/tools/demo/scenario.txt" stop unload 2>&1 | tr -d '\r'
wait "$shot_pid" || true

echo
echo "== event log ($demo/tarnwicklog.txt)"
tr -d '\r' <"$demo/tarnwicklog.txt" 2>/dev/null || echo "(no log file)"

# The preferences: the frame with the plug-in's window, each page in turn, a
# Test alert from the Events page, and OK. The stand-in asks for each
# screenshot with a "> shot NAME" line and waits until it is taken.
screens="$root/build/screens"
rm -rf "$screens"
mkdir -p "$screens"
export TARNWICK_SHOT_DIR="$screens"
printf '%s\n' "row Win32_Share" "Name str Public" "Path str C:\\Shares\\Public" \
  "row Win32_Share" "Name str Projects" "Path str D:\\Projects" \
  "row Win32_Share" "Name str Music" "Path str E:\\Media\\Music" \
  "row Win32_Share" "Name str ADMIN\$" "Path str C:\\Windows" >"$TARNWICK_FAKEWMI_FILE"
# Prints the stand-in's output line by line, unbuffered (the stand-in waits for
# each screenshot), and takes the screenshot each "> shot NAME" line asks for.
take_shots() {
  local line name
  while IFS= read -r line; do
    line=${line%$'\r'}
    echo "$line"
    if [[ $line =~ ^"> shot "([A-Za-z0-9_-]+)$ ]]; then
      name=${BASH_REMATCH[1]}
      xwd -root -silent | convert xwd:- "$screens/$name.png" 2>/dev/null
      touch "$screens/$name.done"
    fi
  done
}

echo
echo "== preferences (screenshots in $screens)"
wine_run tarnwick-host.exe --no-trace --alert-ms 6000 --alert-windows load "$demo/home" start \
  prefs sleep 500 shot general tab 1 sleep 300 shot sources tab 2 sleep 300 shot events \
  click 1025 sleep 800 shot test-alert tab 3 sleep 300 shot visitors tab 4 sleep 300 shot help \
  tab 5 sleep 300 shot about \
  ok stop unload 2>&1 |
  take_shots

# The two viewers from the General page: a week of the event log before the
# demo's own lines, and five people connected now (the one on Music, which is
# not selected, is not listed).
week="$demo/week.txt"
: >"$week"
people=("alice 192.168.1.20 Public" "bob 192.168.1.31 Projects" "carol 192.168.1.42 Public"
  "dave 192.168.1.57 Projects" "erin 10.0.0.7 Public")
for day in 7 6 5 4 3 2 1; do
  date=$(date -d "-$day days" +%d/%m/%Y)
  for n in 0 1 2; do
    read -r user address share <<<"${people[$(((day + n) % 5))]}"
    printf '%s %02d:%02d:%02d "ENTER" "%s" "%s" "%s" "%s"\r\n' "$date" $((8 + n * 3)) $((day * 7 % 60)) $((n * 13)) \
      "$user" "$address" "$address" "$share" >>"$week"
    printf '%s %02d:%02d:%02d "LEAVE" "%s" "%s" "%s" "%s"\r\n' "$date" $((9 + n * 3)) $((day * 11 % 60)) $((n * 17)) \
      "$user" "$address" "$address" "$share" >>"$week"
  done
done
cat "$demo/tarnwicklog.txt" >>"$week" 2>/dev/null || true
mv "$week" "$demo/tarnwicklog.txt"
{
  printf '%s\n' "row Win32_Share" "Name str Public" "Path str C:\\Shares\\Public" \
    "row Win32_Share" "Name str Projects" "Path str C:\\Shares\\Projects" \
    "row Win32_Share" "Name str Music" "Path str C:\\Shares\\Music"
  id=200
  for person in "${people[@]}" "frank 192.168.1.64 Music"; do
    read -r user address share <<<"$person"
    id=$((id + 1))
    printf '%s\n' "row Win32_ServerConnection" "ActiveTime i4 $(((id - 195) * 1234))" "ComputerName str $address" \
      "ConnectionID i4 $id" "NumberOfFiles i4 $((id % 4 + 1))" "NumberOfUsers i4 1" "ShareName str $share" \
      "UserName str $user" "Name str $share" "Caption str session of $user" "Description str $user on $share"
  done
  # The files open in the SMB namespace: alice's, whose session the viewer selects first, and carol's.
  id=300
  for file in "alice|192.168.1.20|Budget 2027.xlsx|3|1" "alice|192.168.1.20|Minutes\\March.docx|1|0" \
    "alice|192.168.1.20|Photos\\team.jpg|1|0" "carol|192.168.1.42|Plan.pdf|1|0"; do
    IFS='|' read -r user address relative permissions locks <<<"$file"
    id=$((id + 1))
    printf '%s\n' "row MSFT_SmbOpenFile" "FileId ui8 $id" "SessionId ui8 $id" "Path str C:\\Shares\\Public\\$relative" \
      "ShareRelativePath str $relative" "ClientComputerName str $address" "ClientUserName str OFFICE\\$user" \
      "Permissions ui4 $permissions" "Locks ui4 $locks"
  done
} >"$TARNWICK_FAKEWMI_FILE"
echo
echo "== viewers (screenshots in $screens)"
wine_run tarnwick-host.exe --no-trace load "$demo/home" start sleep 2500 prefs sleep 300 \
  modal 1018 log-viewer modal 1028 active-shares modal 1028 open-files ok stop unload 2>&1 |
  take_shots
rm -f "$screens"/*.done
ls "$screens"/*.png 2>/dev/null | sed 's/^/== screenshot: /'
[ -f "$demo/alerts.png" ] && echo "== screenshot: $demo/alerts.png"

# TarnwickTray.exe: the same scenario played through the provider while the
# tray program hosts the DLL; a shot of the first notification once it is on
# screen (the demo fails when none comes) and of the menu a right click on its
# icon opens, then /exit.
echo
echo "== the tray program (screenshots in $screens)"
stages="$demo/stages"
mkdir -p "$stages"
awk -v dir="$stages" '/^stage /{n++; print $2 > (dir "/" n ".ms"); next} n && !/^#/{print > (dir "/" n ".txt")}' \
  "$root/tools/demo/scenario.txt"
: >"$TARNWICK_FAKEWMI_FILE"
wine_run TarnwickTray.exe /home "$demo/home" &
tray_pid=$!
for ms in $(ls "$stages"/*.ms | sort -V); do
  data=${ms%.ms}.txt
  if [ -f "$data" ]; then cp "$data" "$TARNWICK_FAKEWMI_FILE.new"; else : >"$TARNWICK_FAKEWMI_FILE.new"; fi
  mv "$TARNWICK_FAKEWMI_FILE.new" "$TARNWICK_FAKEWMI_FILE"
  # alice's arrival, the scenario's first alert: its notification comes after
  # the plug-in's next poll, and the notification area shows it after a delay of its own.
  if [ "$(basename "$ms")" = 2.ms ]; then
    wine_run tarnwick-host.exe --no-trace tray-alert tray-alert 2>&1 | take_shots
  fi
  sleep "$(awk '{print $1 / 1000}' "$ms")"
done
wine_run tarnwick-host.exe --no-trace tray-menu tray-menu 2>&1 | take_shots
wine_run TarnwickTray.exe /exit
echo "TarnwickTray.exe /exit: $?"
wait "$tray_pid" || true
rm -f "$screens"/*.done
ls "$screens"/tray-*.png 2>/dev/null | sed 's/^/== screenshot: /'

# The README's pictures: the alerts of the run and the Events page, cut to what
# they show and made small.
if [ -n "$readme_images" ]; then
  mkdir -p "$root/docs/images"
  convert "$demo/alerts.png" -trim +repage -resize 80% -strip -define png:exclude-chunks=date,time "$root/docs/images/alert.png"
  convert "$screens/events.png" -trim +repage -resize 60% -strip -define png:exclude-chunks=date,time "$root/docs/images/preferences.png"
  echo "== README pictures: docs/images/alert.png, docs/images/preferences.png"
fi
