#!/usr/bin/env bash
# End-to-end run of the real program on charts drawn with known data (tests/app/charts, made by
# scripts/make_test_charts.py): each chart is calibrated and its points captured as a user would,
# with xdotool, and the table on the clipboard is compared with the chart's truth. Every value must
# lie within 1.5 pixels of the truth, measured along its axis.
# - years: x from 1990 to 2020 against y from 20 to 80, the corner way with origin values;
# - scatter: ten points captured as x,y pairs, each within 1.5 pixels in both directions;
# - logarithmic: a logarithmic y axis from 1 to 10,000;
# - rotated: the years chart turned by 3 degrees, calibrated by two points on each axis;
# - undo: five captures, Undo twice and Redo once, compared with the expected table; then a
#   marker selected by Ctrl+click and nudged one pixel up by the arrow key.
#
# Usage: xvfb_charts_test.sh <graphonite> <charts folder>
# Exit status 77 (skipped) when Xvfb, xdotool or xclip is missing.
set -euo pipefail

program=$1
charts=$2
for tool in Xvfb xdotool xclip /usr/bin/python3; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is missing"; exit 77; }
done

# shellcheck source=../support/xvfb_session.sh
source "$(dirname "$0")/../support/xvfb_session.sh"
# shellcheck source=xvfb_chart_runs.sh
source "$(dirname "$0")/xvfb_chart_runs.sh"
menu_bar=0

capture_points() {
  local px py
  while read -r px py _ _; do
    click "$px" "$py"
  done < <(truth "$1" point)
}

# Compares the clipboard's single column with the points' y values, each within 1.5 pixels along
# the y axis; $2 says whether that axis is logarithmic.
check_values() {
  focus "$window"
  xdotool key --clearmodifiers ctrl+c
  sleep 0.3
  xclip -o -selection clipboard > "$work/table.txt"
  /usr/bin/python3 - "$charts/$1.txt" "$work/table.txt" "$2" << 'EOF' || fail "values off the truth"
import math, sys
truth = [line.split() for line in open(sys.argv[1])]
axis = [[float(v) for v in t[1:]] for t in truth if t[0] == "axis"]
points = [[float(v) for v in t[1:]] for t in truth if t[0] == "point"]
logarithmic = sys.argv[3] == "log"
scale = (lambda v: math.log10(v)) if logarithmic else (lambda v: v)
# Chart units per pixel along the y axis, from the two axis points on the y axis (same x value).
a, b = next((a, b) for a in axis for b in axis if a[2] == b[2] and a[3] != b[3])
per_pixel = abs(scale(b[3]) - scale(a[3])) / math.hypot(b[0] - a[0], b[1] - a[1])
cells = open(sys.argv[2]).read().split("\n")[1:]
values = [float(c) for c in cells if c]
assert len(values) == len(points), f"{len(values)} values for {len(points)} points: {cells}"
worst = 0.0
for value, point in zip(values, points):
    off = abs(scale(value) - scale(point[3])) / per_pixel
    worst = max(worst, off)
    print(f"  y {point[3]:g}: captured {value:g}, {off:.2f} px off")
    assert off <= 1.5, f"{value} is {off:.2f} pixels from {point[3]}"
print(f"  worst {worst:.2f} px")
EOF
}

# Years against values, the corner way with origin values.
start years
calibrate_corner years
capture_points years
check_values years linear
quit
echo "years run passed"

# A scatter plot captured as x,y pairs.
start scatter
calibrate_corner scatter
popup_item 14 # Capture X and Y
capture_points scatter
focus "$window"
xdotool key --clearmodifiers ctrl+c
sleep 0.3
xclip -o -selection clipboard > "$work/table.txt"
/usr/bin/python3 - "$charts/scatter.txt" "$work/table.txt" << 'EOF' || fail "pairs off the truth"
import sys
truth = [line.split() for line in open(sys.argv[1])]
axis = [[float(v) for v in t[1:]] for t in truth if t[0] == "axis"]
points = [[float(v) for v in t[1:]] for t in truth if t[0] == "point"]
lines = open(sys.argv[2]).read().split("\n")
assert lines[0] == "1 x\t1 y", f"title line {lines[0]!r}"
pairs = [[float(v) for v in line.split("\t")] for line in lines[1:] if line]
assert len(pairs) == len(points), f"{len(pairs)} pairs for {len(points)} points"
# Units per pixel: origin to width end along x, origin to height end along y.
x_per_pixel = (axis[1][2] - axis[0][2]) / (axis[1][0] - axis[0][0])
y_per_pixel = (axis[2][3] - axis[0][3]) / (axis[0][1] - axis[2][1])
worst = 0.0
for (x, y), point in zip(pairs, points):
    off_x = abs(x - point[2]) / x_per_pixel
    off_y = abs(y - point[3]) / y_per_pixel
    worst = max(worst, off_x, off_y)
    print(f"  ({point[2]:g}, {point[3]:g}): captured ({x:g}, {y:g}), {off_x:.2f} / {off_y:.2f} px off")
    assert off_x <= 1.5 and off_y <= 1.5, f"({x}, {y}) is too far from ({point[2]}, {point[3]})"
print(f"  worst {worst:.2f} px")
EOF
quit
echo "scatter run passed"

# A logarithmic y axis from 1 to 10,000.
start logarithmic
popup_item 12 # Logarithmic Y Axis
calibrate_corner logarithmic
capture_points logarithmic
check_values logarithmic log
quit
echo "logarithmic run passed"

# A scan turned by 3 degrees, two points on each axis.
start rotated
popup_item 13 # Calibrate by Two Points per Axis
mapfile -t marks < <(truth rotated axis)
titles=("First X Value" "Second X Value" "First Y Value" "Second Y Value")
for i in 0 1 2 3; do
  read -r mx my vx vy <<< "${marks[$i]}"
  click "$mx" "$my"
  if [ "$i" -lt 2 ]; then answer "${titles[$i]}" "$vx"; else answer "${titles[$i]}" "$vy"; fi
done
capture_points rotated
check_values rotated linear
quit
echo "rotated run passed"

# Five captures, Undo twice, Redo once: four values, the fifth capture gone.
start years
calibrate_corner years
mapfile -t points < <(truth years point)
for i in 0 1 2 3 4; do
  read -r px py _ _ <<< "${points[$i]}"
  click "$px" "$py"
done
focus "$window"
xdotool key --clearmodifiers ctrl+z ctrl+z
sleep 0.2
xdotool key --clearmodifiers ctrl+y
sleep 0.3
# The truth of the first four points, as a chart of its own for the comparison.
{ grep '^axis ' "$charts/years.txt"; grep '^point ' "$charts/years.txt" | head -n 4; } > "$work/undo.txt"
charts_given=$charts
charts=$work
check_values undo linear
charts=$charts_given
# A nudge: Ctrl+click selects the first point's marker, the Up key moves it one picture pixel up,
# and its value grows by what one pixel row stands for; the other values stay.
cp "$work/table.txt" "$work/before.txt"
read -r px py _ _ <<< "${points[0]}"
xdotool mousemove --window "$window" "$(printf '%.0f' "$px")" $(($(printf '%.0f' "$py") + menu_bar)) sleep 0.1
xdotool keydown ctrl click 1 keyup ctrl
sleep 0.3
focus "$window"
xdotool key Up
sleep 0.3
xdotool key --clearmodifiers ctrl+c
sleep 0.3
xclip -o -selection clipboard > "$work/after.txt"
read -r _ _ oy _ bottom <<< "$(grep '^axis ' "$charts/years.txt" | sed -n 1p)"
read -r _ _ hy _ top <<< "$(grep '^axis ' "$charts/years.txt" | sed -n 3p)"
/usr/bin/python3 - "$work/before.txt" "$work/after.txt" "$bottom" "$top" "$oy" "$hy" << 'EOF' || fail "the nudge"
import sys
before = open(sys.argv[1]).read().split("\n")
after = open(sys.argv[2]).read().split("\n")
bottom, top, oy, hy = (float(v) for v in sys.argv[3:7])
# The calibration's pixel rows are whole: the clicks were rounded.
row = (top - bottom) / (round(oy) - round(hy))
moved = float(after[1]) - float(before[1])
print(f"  nudged by {moved:.2f}, one pixel row is {row:.4f}")
assert abs(moved - row) <= 0.011, f"moved by {moved}, expected {row:.4f}"
assert before[2:] == after[2:], f"other values changed: {before} -> {after}"
EOF
quit
echo "undo run passed"
