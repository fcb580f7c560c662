# Sourced by the end-to-end scripts that run a program on a real X server: a temporary folder, an
# Xvfb server (1920 x 1080 unless XVFB_SCREEN says otherwise) started for the run and stopped with
# the program at exit, and the helpers they share. The caller sets `run` (named in failures) and
# `app_pid` (the program, killed at exit); a script may define its own `fail` after sourcing.

work=$(mktemp -d)
xvfb_pid=
app_pid=
run=${run:-start}
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2> /dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null || true
  wait 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED ($run): $*"
  echo "--- program errors:"
  cat "$work/err" 2> /dev/null || true
  exit 1
}

# Runs the command every 0.1 s until it succeeds; false after the given seconds.
wait_for() {
  local seconds=$1
  shift
  local tries=$((seconds * 10))
  while ! "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# Xvfb picks a free display itself and writes its number to the descriptor: no race with other
# servers that start at the same time.
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "${XVFB_SCREEN:-1920x1080x24}" 3> "$work/display" \
  2> "$work/xvfb.log" &
xvfb_pid=$!
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$work/display")"
export QT_QPA_PLATFORM=xcb
unset LC_ALL LC_MESSAGES
# The application's session and recent files stay in the run's folder, away from the user's.
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config"

# The application's main window.
window=
main_window() { window=$(xdotool search --onlyvisible --name '^\*?Graphonite' 2> /dev/null | head -n 1); [ -n "$window" ]; }
window_named() { xdotool search --onlyvisible --name "^$1\$" > /dev/null 2>&1; }
