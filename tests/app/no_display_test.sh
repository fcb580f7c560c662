#!/usr/bin/env bash
# The real program where no display can be opened: one line on standard error that says so, and
# exit status 1 (not Qt's abort with its advice to reinstall). Once without DISPLAY, once with a
# display that does not exist; Qt chooses its platform itself, as for a user.
#
# Usage: no_display_test.sh <graphonite>
set -uo pipefail

program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

expect_no_display() {
  local name=$1
  shift
  env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY "$@" "$program" < /dev/null > "$work/out" 2> "$work/err"
  local status=$?
  local problem=
  if [ "$status" -ne 1 ]; then
    problem="exit status $status, not 1"
  elif [ "$(wc -l < "$work/err")" -ne 1 ]; then
    problem="not one line on standard error"
  elif ! grep -q '^graphonite: cannot open the display' "$work/err"; then
    problem="the line does not say that the display cannot be opened"
  elif [ -s "$work/out" ]; then
    problem="standard output is not empty"
  fi
  if [ -n "$problem" ]; then
    echo "FAIL ($name): $problem"
    cat "$work/err"
    failures=$((failures + 1))
  fi
}

expect_no_display "DISPLAY not set" -u DISPLAY
# A display number that no X server of this machine serves.
number=4321
while [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number + 1)); done
expect_no_display "display :$number" DISPLAY=":$number"

[ "$failures" -eq 0 ] || exit 1
echo "no display: one line, exit status 1"
