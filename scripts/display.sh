# Sourced by the test and demo scripts: an X display for the Wine programs.
# Under a display of the caller's own nothing is started; otherwise a private
# Xvfb on the first free display number, ended by display_teardown.
display_setup() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    tw_xvfb_pid=$!
    export DISPLAY=":$n"
    # Ready once its socket exists.
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && return 0
      sleep 0.1
    done
    echo "display_setup: Xvfb did not start on :$n" >&2
    return 1
  done
  echo "display_setup: no free display number" >&2
  return 1
}

display_teardown() {
  [ -n "${tw_xvfb_pid:-}" ] && kill "$tw_xvfb_pid" 2>/dev/null
  tw_xvfb_pid=
  return 0
}
