#!/usr/bin/env bash
# End-to-end runs of the real program's autosave under SIGKILL.
# - restore: the years chart calibrated and captured, the program killed with SIGKILL; the next
#   start offers the work, Yes brings it back, and the table on the clipboard is the one before
#   the kill. A clean quit then leaves no session behind.
# - project: the restored work saved as a project with Ctrl+Shift+S, the program quit without a
#   question, the project opened from the command line: the same table, the title naming it.
# - faults: a scripted session captures points while the program is killed at random moments;
#   every restart restores every point captured more than one second before the kill, and each
#   session file can be read (its restore is offered and succeeds). GRAPHONITE_FAULT_RUNS sets
#   the number of kills (100).
#
# Usage: xvfb_autosave_test.sh <graphonite> <charts folder>
# Exit status 77 (skipped) when Xvfb, xdotool or xclip is missing.
set -euo pipefail

program=$1
charts=$2
runs=${GRAPHONITE_FAULT_RUNS:-100}
for tool in Xvfb xdotool xclip; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is missing"; exit 77; }
done

# shellcheck source=../support/xvfb_session.sh
source "$(dirname "$0")/../support/xvfb_session.sh"
# shellcheck source=xvfb_chart_runs.sh
source "$(dirname "$0")/xvfb_chart_runs.sh"
menu_bar=0
now_ms() { date +%s%3N; }
offer_shown() { window_named "Restore Unfinished Work"; }
sessions() { find "$XDG_STATE_HOME/graphonite" -name 'session-*' 2> /dev/null | wc -l; }

click() {
  xdotool mousemove --window "$window" "$(printf '%.0f' "$1")" $(($(printf '%.0f' "$2") + menu_bar)) click 1
}

# Starts the program on the chart; when the last one left work behind, the offer comes first
# and Return (its default button, Yes) restores it.
start() {
  LANG=en_US.UTF-8 "$program" "${1:-$charts/years.png}" > "$work/out" 2>> "$work/err" &
  app_pid=$!
  wait_for 10 bash -c "xdotool search --onlyvisible --name '^(Restore Unfinished Work|\\*?Graphonite.*)\$' > /dev/null 2>&1" \
    || fail "neither the offer nor the main window came"
  if offer_shown; then
    focus "$(xdotool search --onlyvisible --name '^Restore Unfinished Work$' | head -n 1)"
    xdotool key Return
    offered=1
  else
    offered=0
  fi
  wait_for 10 main_window || fail "no main window"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  menu_bar=$((HEIGHT - 742))
  focus "$window"
}

kill_program() {
  kill -9 "$app_pid"
  wait "$app_pid" 2> /dev/null || true
  app_pid=
}

# The table on the clipboard.
copy_table() {
  focus "$window"
  printf 'none' | xclip -selection clipboard
  xdotool key --clearmodifiers ctrl+c
  wait_for 5 bash -c "[ \"\$(xclip -o -selection clipboard)\" != none ]" || fail "nothing copied"
  xclip -o -selection clipboard > "$1"
}

rows() { tail -n +2 "$1" | grep -c . || true; }

# The restore run.
run=restore
start
[ "$offered" = 0 ] || fail "an offer without a session"
mapfile -t axis < <(grep '^axis ' "$charts/years.txt" | cut -d' ' -f2-)
read -r ox oy _ _ <<< "${axis[0]}"
read -r wx _ wvx _ <<< "${axis[1]}"
read -r _ hy _ hvy <<< "${axis[2]}"
xdotool key --clearmodifiers alt+s
for step in "$ox $oy" "$wx $oy"; do
  # shellcheck disable=SC2086
  click $step
  sleep 0.3
done
answer "Width Reference" "$wvx"
click "$ox" "$hy"
answer "Height Reference" "$hvy"
focus "$window"
while read -r px py; do
  click "$px" "$py"
  sleep 0.2
done < <(grep '^point ' "$charts/years.txt" | cut -d' ' -f2,3)
copy_table "$work/before.txt"
[ "$(rows "$work/before.txt")" -gt 3 ] || fail "the captures did not reach the table: $(cat "$work/before.txt")"
sleep 1.2
kill_program
start
[ "$offered" = 1 ] || fail "the work was not offered back"
copy_table "$work/after.txt"
cmp -s "$work/before.txt" "$work/after.txt" || fail "restored table differs: $(cat "$work/after.txt")"
echo "restore run passed"

# The project run: the work saved whole needs no quit question and leaves no session; the project
# from the command line gives the same table back.
run=project
xdotool key --clearmodifiers ctrl+shift+s
answer "Save Project As" "$work/study.graphonite"
# The requester is gone before the program has written the file.
wait_for 5 grep -q '"cells"' "$work/study.graphonite" || fail "no project written: $(head -c 300 "$work/study.graphonite" 2>&1)"
focus "$window"
xdotool key --clearmodifiers ctrl+q
wait_for 10 bash -c "! kill -0 $app_pid 2> /dev/null" || fail "a saved project still kept the program from quitting"
app_pid=
[ "$(sessions)" = 0 ] || fail "the saved project left $(sessions) session files"
start "$work/study.graphonite"
[ "$offered" = 0 ] || fail "an offer after a clean quit"
xdotool getwindowname "$window" | grep -q 'study\.graphonite' || fail "the title does not name the project: $(xdotool getwindowname "$window")"
copy_table "$work/project.txt"
cmp -s "$work/before.txt" "$work/project.txt" || fail "the project's table differs: $(cat "$work/project.txt")"
echo "project run passed"

# A change after the project's opening is asked about at the quit, and the quit leaves nothing.
run=quit
xdotool key --clearmodifiers alt+p
click "$ox" "$oy"
sleep 0.5
quit
[ "$(sessions)" = 0 ] || fail "a clean quit left $(sessions) session files"
echo "quit run passed"

# The fault runs: each restart must bring back at least what was captured a second before the
# kill, and never more than was captured.
run=faults
begin=$(now_ms)
least=0
most=0
restored_total=0
for ((i = 1; i <= runs; i++)); do
  run="faults $i"
  start
  if [ "$least" -gt 0 ] && [ "$offered" = 0 ]; then fail "the work of $least points was not offered"; fi
  copy_table "$work/table.txt"
  have=$(rows "$work/table.txt")
  [ "$have" -ge "$least" ] || fail "$have points restored, $least were captured more than a second before the kill"
  [ "$have" -le "$most" ] || fail "$have points restored, only $most were captured"
  restored_total=$((restored_total + have))
  xdotool key --clearmodifiers alt+p
  # Captures every 50 ms or so, the kill at a random moment up to 1.5 s later.
  lifetime=$((RANDOM % 1500))
  started=$(now_ms)
  stamps=()
  while [ $(($(now_ms) - started)) -lt "$lifetime" ]; do
    click $((100 + RANDOM % 800)) $((60 + RANDOM % 580))
    stamps+=("$(now_ms)")
    sleep 0.05
  done
  killed=$(now_ms)
  kill_program
  least=$have
  most=$((have + ${#stamps[@]}))
  for stamp in "${stamps[@]}"; do
    [ $((killed - stamp)) -gt 1000 ] && least=$((least + 1))
  done
done
echo "faults run passed: $runs kills in $((($(now_ms) - begin) / 1000)) s, $restored_total points restored in all"
