# Sourced by scripts/wine-env.sh: registers the fake WMI provider of a build
# folder in the current WINEPREFIX, in place of the system's administrative WMI
# locator. Wine's own update restores its class at every wineboot, so this runs
# after each one. Needs a running wineserver for the prefix.
fakewmi_register() {
  local build_dir=$1
  local dll="$build_dir/fakewmi.dll"
  local key='HKLM\Software\Classes\CLSID\{CB8555CC-9128-11D1-AD9B-00C04FD8FDFF}\InProcServer32'
  local windows_path
  if [ ! -f "$dll" ]; then
    echo "fakewmi_register: $dll is not built" >&2
    return 1
  fi
  windows_path=$(wine_run winepath -w "$dll" 2>/dev/null | tr -d '\r')
  if [ -z "$windows_path" ]; then
    echo "fakewmi_register: winepath failed for $dll" >&2
    return 1
  fi
  wine_run reg add "$key" /ve /d "$windows_path" /f >/dev/null 2>&1 &&
    wine_run reg add "$key" /v ThreadingModel /d Both /f >/dev/null 2>&1 || {
    echo "fakewmi_register: reg add failed" >&2
    return 1
  }
}
