#!/usr/bin/env bash
# The installer's tests, one group of the test command. The i686 package is
# checked as files (msiinfo: tables, file list, versions; the zips, the symbols,
# SHA256SUMS). The x86-64 twin's MSI is run for real by msiexec under 64-bit Wine
# in a fresh prefix: install, the installed tray program's session, the same
# package again, a newer one, and the uninstall. Each check prints one line; the
# last line is "msi: N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$PWD
work="$root/build/msi-test"
upgrade_code='{8010A8A4-86DE-4A61-95E4-663E7C22CC47}'
# The upgrade code as the installer's registry keys spell it (each part's hex digits reversed).
packed_upgrade_code=4A8A0108ED6816A4594E66E3C722CC74

passed=0
failed=0
check() {
  local what=$1
  shift
  if "$@"; then
    echo "msi: ok    $what"
    passed=$((passed + 1))
  else
    echo "msi: FAIL  $what"
    failed=$((failed + 1))
  fi
}
finish() {
  echo "msi: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}

rm -rf "$work"
mkdir -p "$work"

# ---- the i686 package, statically
if ! bash scripts/package.sh --out "$work/i686" >"$work/package-i686.log" 2>&1; then
  check "bash scripts/package.sh (i686)" false
  tail -n 20 "$work/package-i686.log"
  finish
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)
IFS=. read -r major minor patch tweak <<<"$version"
release="$major.$minor.$tweak"
name="Tarnwick-$release"
msi="$work/i686/$name.msi"
stage="$root/build/package/win32/files"

tables_present() {
  local tables table
  tables=$(msiinfo tables "$msi") || return 1
  for table in File Component Directory Feature FeatureComponents Shortcut Upgrade Icon Registry RemoveFile CreateFolder Media; do
    grep -qx "$table" <<<"$tables" || { echo "  no table $table"; return 1; }
  done
}
file_list() {
  local files
  files=$(msiinfo export "$msi" File | tail -n +4 | cut -f3 | sed 's/.*|//' | sort | tr '\n' ' ')
  [ "$files" = "GUIDE.txt LICENSE.txt Tarnwick.dll TarnwickTray.exe " ] || { echo "  files: $files"; return 1; }
}
property() {
  msiinfo export "$msi" Property | tr -d '\r' | awk -F'\t' -v p="$1" '$1 == p {print $2}'
}
versions() {
  local binary
  [ "$(property ProductVersion)" = "$release" ] || { echo "  ProductVersion $(property ProductVersion)"; return 1; }
  [ "$(property UpgradeCode)" = "$upgrade_code" ] || { echo "  UpgradeCode $(property UpgradeCode)"; return 1; }
  [ "$(property ProductName)" = Tarnwick ] && [ -n "$(property Manufacturer)" ] &&
    [ "$(property ARPPRODUCTICON)" = TarnwickTray.exe ] || return 1
  for binary in Tarnwick.dll TarnwickTray.exe; do
    strings -el "$stage/$binary" | grep -qx "$version" || { echo "  $binary: no version $version"; return 1; }
  done
}
per_user_x86() {
  local info
  info=$(msiinfo suminfo "$msi") || return 1
  # Word count 10: compressed (2) and no elevation needed (8).
  grep -qx 'Template: Intel;1033' <<<"$info" && grep -qx 'Source: 10 (a)' <<<"$info" &&
    [ -z "$(property ALLUSERS)" ] || { echo "$info" | sed 's/^/  /'; return 1; }
}
stripped_with_debuglink() {
  local binary
  for binary in Tarnwick.dll TarnwickTray.exe; do
    i686-w64-mingw32-objdump -h "$stage/$binary" | grep -q '\.gnu_debuglink' || { echo "  $binary: no debuglink"; return 1; }
    ! i686-w64-mingw32-objdump -h "$stage/$binary" | grep -q '\.debug_info' || { echo "  $binary: not stripped"; return 1; }
    unzip -p "$work/i686/$name-symbols.zip" "$binary.debug" >"$work/$binary.debug" &&
      i686-w64-mingw32-objdump -h "$work/$binary.debug" | grep -q '\.debug_info' || { echo "  $binary.debug: no debug info"; return 1; }
  done
}
zip_and_sums() {
  local listed
  listed=$(unzip -Z1 "$work/i686/$name.zip" | sort | tr '\n' ' ')
  [ "$listed" = "$name/ $name/GUIDE.txt $name/LICENSE.txt $name/Tarnwick.dll $name/TarnwickTray.exe " ] ||
    { echo "  zip: $listed"; return 1; }
  (cd "$work/i686" && sha256sum --quiet -c SHA256SUMS) && [ "$(wc -l <"$work/i686/SHA256SUMS")" = 3 ]
}
check "i686 MSI: tables" tables_present
check "i686 MSI: file list" file_list
check "i686 MSI: version $release, upgrade code, name, maker, icon" versions
check "i686 MSI: 32-bit, per user, no elevation" per_user_x86
check "i686 binaries stripped, debug info in the symbols zip" stripped_with_debuglink
check "i686 zip contents and SHA256SUMS" zip_and_sums

# ---- the twin's package under 64-bit Wine
next="$major.$minor.$patch.$((tweak + 1))"
next_release="$major.$minor.$((tweak + 1))"
if ! bash scripts/package.sh --twin --out "$work/twin" >"$work/package-twin.log" 2>&1 ||
  ! bash scripts/package.sh --twin --version "$next" --out "$work/next" >>"$work/package-twin.log" 2>&1 ||
  ! cmake --build --preset win64 --target fakewmi >>"$work/package-twin.log" 2>&1; then
  check "bash scripts/package.sh --twin" false
  tail -n 20 "$work/package-twin.log"
  finish
fi
twin_msi="$work/twin/$name.msi"
next_msi="$work/next/Tarnwick-$next_release.msi"

# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh
# shellcheck source=scripts/display.sh
. scripts/display.sh
trap 'wine_env_teardown; display_teardown' EXIT
display_setup
# A fresh prefix of the test's own, with the fake WMI provider of the twin's build.
mkdir -p "$work/wine"
cp build/win64/fakewmi.dll "$work/wine/"
if ! wine_env_setup "$work/wine" win64; then
  check "a fresh 64-bit Wine prefix" false
  finish
fi

win() { wine_run cmd /c echo "$1" 2>/dev/null | tr -d '\r'; }
unix_path() { wine_run winepath -u "$1" 2>/dev/null | tr -d '\r'; }
install_dir_w="$(win '%LOCALAPPDATA%')\\Programs\\Tarnwick"
install_dir=$(unix_path "$install_dir_w")
home_w="$(win '%APPDATA%')\\Tarnwick"
home=$(unix_path "$home_w")
shortcut="$(unix_path "$(win '%APPDATA%')")/Microsoft/Windows/Start Menu/Programs/Tarnwick.lnk"

msiexec() {
  local rc
  wine_run msiexec "$@" >/dev/null 2>&1
  rc=$?
  [ $rc -eq 0 ] || echo "  msiexec $* gave $rc"
  return $rc
}
# The installed files are the ones the package's zip holds.
installed_files() {
  local zip=$1 file
  for file in Tarnwick.dll TarnwickTray.exe GUIDE.txt LICENSE.txt; do
    unzip -p "$zip" "$(basename "$zip" .zip)/$file" | cmp -s "$install_dir/$file" - || { echo "  $install_dir/$file"; return 1; }
  done
  [ -f "$shortcut" ] || { echo "  no $shortcut"; return 1; }
  [ -d "$home" ] || { echo "  no $home"; return 1; }
}
# Installed products of the upgrade code, as the installer and the list of
# installed programs each know them.
products() {
  local by_code by_list
  by_code=$(wine_run reg query "HKCU\\Software\\Microsoft\\Installer\\UpgradeCodes\\$packed_upgrade_code" 2>/dev/null |
    tr -d '\r' | grep -c 'REG_SZ')
  by_list=$(wine_run uninstaller --list 2>/dev/null | tr -d '\r' | grep -c '|||Tarnwick$')
  [ "$by_code" = "$by_list" ] || { echo "$by_code under the upgrade code, $by_list in the list of programs"; return 0; }
  echo "$by_code"
}
one_product() {
  local count version code
  count=$(products)
  [ "$count" = 1 ] || { echo "  $count products installed"; return 1; }
  code=$(wine_run uninstaller --list 2>/dev/null | tr -d '\r' | sed -n 's/|||Tarnwick$//p')
  version=$(wine_run reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code" /v DisplayVersion \
    2>/dev/null | tr -d '\r' | awk '/DisplayVersion/ {print $3}')
  [ "$version" = "$1" ] || { echo "  version $version installed, not $1"; return 1; }
}

check "msiexec /i $name.msi /qn" msiexec /i "$twin_msi" /qn
check "installed: the program files, the Start menu shortcut, the home folder" installed_files "$work/twin/$name.zip"
check "one product, version $release" one_product "$release"

# The installed tray program, started through its shortcut, logs the fake WMI
# provider's session into %APPDATA%\Tarnwick, and "/exit" ends it.
tray_running() {
  local pid
  for pid in $(pgrep -f 'TarnwickTray\.exe'); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}
tray_session() {
  local line='"ENTER" "alice" "192.0.2.7" "192.0.2.7" "Public"' waited
  # The default LogFile, a name relative to the folder the shortcut starts in.
  printf '%s\r\n' "" "[Sources]" \
    "SourcesCount           = 1" "SourceName1           = Public" "SourcePath1           = C:\\Shares\\Public" \
    >"$home/tarnwick.ini"
  export TARNWICK_FAKEWMI_FILE="$work/wmi.txt"
  printf '%s\n' "row Win32_ServerConnection" "ActiveTime i4 60" "ComputerName str 192.0.2.7" "ConnectionID i4 7" \
    "NumberOfFiles i4 1" "NumberOfUsers i4 1" "ShareName str Public" "UserName str alice" "Name str Public" \
    "Caption str session of alice" "Description str alice on Public" >"$TARNWICK_FAKEWMI_FILE"
  wine_run start /unix "$shortcut" >/dev/null 2>&1 || { echo "  start gave $?"; return 1; }
  for waited in $(seq 300); do
    grep -qxE "[0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2} $line"$'\r' "$home/tarnwicklog.txt" 2>/dev/null && break
    sleep 0.1
  done
  [ "$waited" -lt 300 ] || { echo "  no log line after 30 s: $(cat "$home/tarnwicklog.txt" 2>&1)"; return 1; }
  tray_running || { echo "  the tray program is not running"; return 1; }
  timeout 60 "$tw_wine" "$install_dir_w\\TarnwickTray.exe" /exit >/dev/null 2>&1 || { echo "  /exit gave $?"; return 1; }
  ! tray_running || { echo "  still running after /exit"; return 1; }
}
check "the installed TarnwickTray.exe logs a session and ends with /exit" tray_session

check "msiexec /i $name.msi /qn again" msiexec /i "$twin_msi" /qn
check "still one product, version $release" one_product "$release"

check "msiexec /i Tarnwick-$next_release.msi /qn (newer)" msiexec /i "$next_msi" /qn
check "one product, version $next_release" one_product "$next_release"
check "installed after the upgrade" installed_files "$work/next/Tarnwick-$next_release.zip"

# The uninstall keeps what the user made (a stand-in file when the session above left none).
mkdir -p "$home"
[ -f "$home/tarnwick.ini" ] || printf '\r\n[Settings]\r\nDebugMode              = 0\r\n' >"$home/tarnwick.ini"
cp "$home/tarnwick.ini" "$work/tarnwick.ini.before"
# The Windows Event Log source as Tarnwick registers it at start; the uninstall removes it.
event_source='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Tarnwick'
wine_run reg add "$event_source" /v TypesSupported /t REG_DWORD /d 7 /f >/dev/null 2>&1
[ ! -f "$home/tarnwicklog.txt" ] || cp "$home/tarnwicklog.txt" "$work/tarnwicklog.txt.before"
removed() {
  [ ! -e "$install_dir" ] || { echo "  left: $(ls -A "$install_dir")"; return 1; }
  [ ! -e "$shortcut" ] || { echo "  left: the shortcut"; return 1; }
  [ ! -e "$(dirname "$install_dir")" ] || { echo "  left: $(dirname "$install_dir")"; return 1; }
  [ "$(products)" = 0 ] || { echo "  still installed"; return 1; }
  ! wine_run reg query 'HKCU\Software\Tarnwick' >/dev/null 2>&1 || { echo "  left: HKCU\\Software\\Tarnwick"; return 1; }
  ! wine_run reg query "$event_source" >/dev/null 2>&1 || { echo "  left: the Event Log source"; return 1; }
}
check "msiexec /x Tarnwick-$next_release.msi /qn" msiexec /x "$next_msi" /qn
check "uninstalled: program files, shortcut, registry, Event Log source, product" removed
kept() {
  cmp -s "$home/tarnwick.ini" "$work/tarnwick.ini.before" || return 1
  [ ! -f "$work/tarnwicklog.txt.before" ] || cmp -s "$home/tarnwicklog.txt" "$work/tarnwicklog.txt.before"
}
check "kept: the settings and the event log in %APPDATA%\\Tarnwick" kept
finish
