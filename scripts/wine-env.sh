# Sourced by the test, demo and timing scripts: a throw-away Wine prefix under a
# build folder, with one wineserver kept up for the whole batch of programs.
#
# win32 runs the product's i686 build through the `wine` wrapper (the 32-bit
# loader). win64 runs the x86-64 twin through the 64-bit loader and server
# directly: the wrappers pick the 32-bit loader whenever wine32 is installed.
wine_env_select() {
  case $1 in
    win32)
      tw_wine=wine
      tw_wineserver=wineserver
      ;;
    win64)
      tw_wine=/usr/lib/wine/wine64
      tw_wineserver=/usr/lib/wine/wineserver64
      ;;
    *)
      echo "wine_env_select: unknown architecture $1" >&2
      return 1
      ;;
  esac
  export WINEARCH=$1
}

# wine_env_setup BUILD_DIR ARCH: a fresh prefix in BUILD_DIR/wineprefix, the server
# up, the fake WMI provider registered. Fails when Wine cannot start there.
wine_env_setup() {
  local build_dir=$1
  wine_env_select "$2" || return 1
  export WINEPREFIX="$build_dir/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  "$tw_wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # The server first, kept up, so the prefix's services never hold a caller's pipes.
  "$tw_wineserver" -p || return 1
  timeout 180 "$tw_wine" wineboot -i >/dev/null 2>&1 </dev/null || true
  # shellcheck source=scripts/fakewmi-register.sh
  . "$(dirname "${BASH_SOURCE[0]}")/fakewmi-register.sh"
  fakewmi_register "$build_dir"
}

# Runs a program of the selected build under Wine.
wine_run() {
  "$tw_wine" "$@"
}

wine_env_teardown() {
  [ -n "${tw_wineserver:-}" ] || return 0
  "$tw_wineserver" -k >/dev/null 2>&1 || true
  "$tw_wineserver" -w >/dev/null 2>&1 || true
}

# Whether a 32-bit Windows program starts here within seconds. On some machines
# the kernel runs no i386 code at all, and then neither 32-bit Wine nor its WoW64
# mode can. On success the build's prefix is left set up for its tests.
win32_runs_here() {
  local build_dir=$1 out
  # A 32-bit Linux program first: where the kernel refuses it, nothing below can start.
  timeout 10 /usr/lib/wine/wine --version >/dev/null 2>&1 || return 1
  wine_env_setup "$build_dir" win32 || { wine_env_teardown; return 1; }
  out=$(cd "$build_dir" && timeout 20 wine tarnwick-host.exe --no-trace version 2>/dev/null | tr -d '\r')
  if ! grep -qx '  = 2 .*' <<<"$out"; then
    wine_env_teardown
    return 1
  fi
}

# The build the demo and the timed runs use: the product's i686 build where a
# 32-bit Windows program starts, else the x86-64 twin; TARNWICK_WINE_ARCH=win32
# or win64 forces one. Sets tw_arch, and tw_prefix_ready when the probe left the
# i686 prefix set up. Needs build/win32 built first.
wine_pick_arch() {
  local root=$1
  tw_prefix_ready=
  case ${TARNWICK_WINE_ARCH:-auto} in
    auto)
      if win32_runs_here "$root/build/win32"; then
        tw_arch=win32
        tw_prefix_ready=1
      else
        echo "== this machine cannot run 32-bit code: using the x86-64 twin of Tarnwick.dll"
        tw_arch=win64
      fi
      ;;
    win32 | win64) tw_arch=$TARNWICK_WINE_ARCH ;;
    *)
      echo "TARNWICK_WINE_ARCH must be win32 or win64 here" >&2
      return 1
      ;;
  esac
}

# For the demo and the timed runs: builds the DLL, the host stand-in and the fake
# provider of the build this machine runs (wine_pick_arch), under a display
# (display.sh), and sets up its prefix. Sets tw_arch.
wine_prepare_run() {
  local root=$1
  wine_build_for_run win32 && display_setup && wine_pick_arch "$root" || return 1
  if [ "$tw_arch" = win64 ]; then wine_build_for_run win64 || return 1; fi
  if [ -z "$tw_prefix_ready" ]; then wine_env_setup "$root/build/$tw_arch" "$tw_arch" || return 1; fi
  echo "== the $tw_arch build (build/$tw_arch)"
}

wine_build_for_run() {
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1" --target Tarnwick TarnwickTray tarnwick-host fakewmi >/dev/null
}
