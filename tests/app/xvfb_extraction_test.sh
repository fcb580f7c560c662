#!/usr/bin/env bash
# End-to-end run of the real program's extraction by colour on charts drawn with known data
# (tests/app/charts): each chart is calibrated as a user would, with xdotool, its markers and its
# curve are extracted through the diagram's popup menu, and the table on the clipboard (x,y pairs)
# is compared with the chart's truth.
# - years: the seven red markers, one point each within 1 pixel of the truth, none missed and
#   none false; then the blue line into a second column at every whole year, each point within
#   1 pixel of the line drawn through the truth;
# - scatter: the ten markers, each within 1 pixel, none missed and none false.
# With SCREENSHOTS set to a folder, the screens along the way are saved there.
#
# Usage: xvfb_extraction_test.sh <graphonite> <charts folder>
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

copy_table() {
  focus "$window"
  xdotool key --clearmodifiers ctrl+c
  sleep 0.3
  xclip -o -selection clipboard > "$work/table.txt"
}

# The items of the diagram's popup menu that these runs choose.
CAPTURE_XY=14
EXTRACT_CURVE=16
EXTRACT_MARKERS=17
STEP_IN_CHART_UNITS=22

# Compares the pairs of table column $2 (counted from 0) with the chart's points: as many, in
# reading order, each within 1 pixel in both directions.
check_markers() {
  /usr/bin/python3 - "$charts/$1.txt" "$work/table.txt" "$2" << 'PY' || fail "markers off the truth"
import sys
truth = [line.split() for line in open(sys.argv[1])]
axis = [[float(v) for v in t[1:]] for t in truth if t[0] == "axis"]
points = [[float(v) for v in t[1:]] for t in truth if t[0] == "point"]
column = int(sys.argv[3])
lines = open(sys.argv[2]).read().split("\n")
pairs = []
for line in lines[1:]:
    cells = line.split("\t")
    if len(cells) > 2 * column + 1 and cells[2 * column]:
        pairs.append((float(cells[2 * column]), float(cells[2 * column + 1])))
print("  found", pairs)
assert len(pairs) == len(points), f"{len(pairs)} markers found for {len(points)}: {pairs}"
x_per_pixel = (axis[1][2] - axis[0][2]) / (axis[1][0] - axis[0][0])
y_per_pixel = (axis[2][3] - axis[0][3]) / (axis[0][1] - axis[2][1])
worst = 0.0
for point in points:
    # Reading order is by picture row: each truth point has its own nearest found point.
    x, y = min(pairs, key=lambda p: abs(p[0] - point[2]) / x_per_pixel + abs(p[1] - point[3]) / y_per_pixel)
    off_x = abs(x - point[2]) / x_per_pixel
    off_y = abs(y - point[3]) / y_per_pixel
    worst = max(worst, off_x, off_y)
    print(f"  ({point[2]:g}, {point[3]:g}): found ({x:g}, {y:g}), {off_x:.2f} / {off_y:.2f} px off")
    assert off_x <= 1 and off_y <= 1, f"({x}, {y}) is too far from ({point[2]}, {point[3]})"
print(f"  worst {worst:.2f} px")
PY
}

# The years chart: its markers into column 1, its line at every whole year into column 2.
start years
calibrate_corner years
popup_item $CAPTURE_XY
mapfile -t points < <(truth years point)
popup_item $EXTRACT_MARKERS extract-menu
shot extract-prompt
read -r px py _ _ <<< "${points[0]}"
click "$px" "$py"
sleep 1
copy_table
check_markers years 0
echo "years markers passed"

xdotool key --clearmodifiers alt+a
popup_item $STEP_IN_CHART_UNITS
answer "Step in Chart Units" 1
popup_item $EXTRACT_CURVE
# Halfway between the second and the third point, on the line.
read -r ax ay _ _ <<< "${points[1]}"
read -r bx by _ _ <<< "${points[2]}"
click "$(python3 -c "print(($ax + $bx) / 2)")" "$(python3 -c "print(($ay + $by) / 2)")"
sleep 1
shot extracted
copy_table
/usr/bin/python3 - "$charts/years.txt" "$work/table.txt" << 'PY' || fail "curve off the truth"
import math, sys
truth = [line.split() for line in open(sys.argv[1])]
axis = [[float(v) for v in t[1:]] for t in truth if t[0] == "axis"]
points = [[float(v) for v in t[1:]] for t in truth if t[0] == "point"]
lines = open(sys.argv[2]).read().split("\n")
assert lines[0] == "1 x\t1 y\t2 x\t2 y", f"title line {lines[0]!r}"
pairs = [(float(c[2]), float(c[3])) for c in (l.split("\t") for l in lines[1:]) if len(c) > 3 and c[2]]
# The line runs from the first point's year to the last: at most one point per whole year there
# (the line has no branches), and most of them found.
first, last = points[0][2], points[-1][2]
assert int(last - first) * 2 // 3 <= len(pairs) <= int(last - first) + 1, f"{len(pairs)} points: {pairs}"
x_per_pixel = (axis[1][2] - axis[0][2]) / (axis[1][0] - axis[0][0])
y_per_pixel = (axis[2][3] - axis[0][3]) / (axis[0][1] - axis[2][1])
def pixel(x, y):
    return (x / x_per_pixel, y / y_per_pixel)
def distance(p, a, b):
    (px, py), (ax, ay), (bx, by) = pixel(*p), pixel(*a), pixel(*b)
    t = max(0.0, min(1.0, ((px - ax) * (bx - ax) + (py - ay) * (by - ay)) / ((bx - ax) ** 2 + (by - ay) ** 2)))
    return math.hypot(px - ax - t * (bx - ax), py - ay - t * (by - ay))
worst = 0.0
for x, y in pairs:
    assert abs(x - round(x)) < 0.01, f"x {x} is no whole year"
    off = min(distance((x, y), p[2:], q[2:]) for p, q in zip(points, points[1:]))
    worst = max(worst, off)
    print(f"  {x:g}: {y:g}, {off:.2f} px from the line")
    assert off <= 1, f"({x}, {y}) is {off:.2f} pixels from the line"
print(f"  {len(pairs)} points, worst {worst:.2f} px")
PY
quit
echo "years curve passed"

start scatter
calibrate_corner scatter
popup_item $CAPTURE_XY
mapfile -t points < <(truth scatter point)
popup_item $EXTRACT_MARKERS
read -r px py _ _ <<< "${points[3]}"
click "$px" "$py"
sleep 1
copy_table
check_markers scatter 0
echo "scatter markers passed"

# A rectangle dragged around the left half of the data area bounds the next extraction: the
# markers there go into column 2, the others stay out.
xdotool key --clearmodifiers alt+a
popup_item $EXTRACT_MARKERS
read -r ox oy _ _ <<< "$(truth scatter axis | sed -n 1p)"
read -r wx _ _ _ <<< "$(truth scatter axis | sed -n 2p)"
read -r _ hy _ _ <<< "$(truth scatter axis | sed -n 3p)"
middle=$(python3 -c "print(round(($ox + $wx) / 2))")
xdotool mousemove --window "$window" "$(printf '%.0f' "$ox")" $(($(printf '%.0f' "$hy") + menu_bar)) mousedown 1
xdotool mousemove --window "$window" $((middle - 50)) $((300 + menu_bar)) sleep 0.1
xdotool mousemove --window "$window" "$middle" $(($(printf '%.0f' "$oy") + menu_bar)) sleep 0.2 mouseup 1
sleep 0.3
shot extract-rectangle
read -r px py _ _ <<< "${points[0]}"
click "$px" "$py"
sleep 1
copy_table
/usr/bin/python3 - "$charts/scatter.txt" "$work/table.txt" "$middle" << 'PY' || fail "the rectangle"
import sys
truth = [line.split() for line in open(sys.argv[1])]
points = [[float(v) for v in t[1:]] for t in truth if t[0] == "point"]
inside = [p for p in points if p[0] < float(sys.argv[3])]
lines = open(sys.argv[2]).read().split("\n")
found = [c for c in (l.split("\t") for l in lines[1:]) if len(c) > 3 and c[2]]
print(f"  {len(found)} markers in the rectangle, {len(inside)} expected")
assert len(found) == len(inside), found
PY
quit
echo "scatter rectangle passed"
