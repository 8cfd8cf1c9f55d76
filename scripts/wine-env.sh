# Sourced by the test and demo scripts: a throw-away Wine prefix under the build
# folder, with one wineserver kept up for the whole batch of programs.
wine_env_setup() {
  local build_dir=$1
  export WINEPREFIX="$build_dir/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win32
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # The server first, kept up, so the prefix's services never hold a caller's pipes.
  wineserver -p
  wineboot -i >/dev/null 2>&1 </dev/null || true
  if [ -f "$(dirname "${BASH_SOURCE[0]}")/fakewmi-register.sh" ]; then
    # shellcheck source=/dev/null
    . "$(dirname "${BASH_SOURCE[0]}")/fakewmi-register.sh"
    fakewmi_register "$build_dir"
  fi
}

wine_env_teardown() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}
