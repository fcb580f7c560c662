#!/usr/bin/python3
"""Draws the charts that the accuracy test of extraction by colour reads, with their truth.

    scripts/make_extraction_charts.py [--out DIR]

Needs Debian's python3-matplotlib and python3-pil (a developer's tool: the charts and their truth
are committed, so the tests do not need them). Writes into tests/imaging/extraction_charts/, for
each chart NAME and size SIZE (960x720 and 4000x3000):
- NAME-SIZE.png (960x720 only, to keep the repository small) and NAME-SIZE.jpg (quality 75);
- NAME-SIZE.txt, the truth in picture pixels, (0, 0) being the top-left pixel's centre and y
  growing downward:
    area LEFT TOP RIGHT BOTTOM        the data area, half open, inside the axes' frame
    curve R G B                       a curve's colour; the lines that follow, up to the next
    vertex X Y                          keyword, are the vertices of its polyline
    marker R G B                      the colour of the scatter markers
    centre X Y                          one marker's centre
    bar R G B                         the colour of the bars
    top X Y                             the middle of one bar's top edge

The charts, drawn from a fixed seed:
- lines: a random walk drawn with markers of its own colour, and a smooth curve of another colour
  with a steep stretch that crosses it, over a grid;
- scatter: isolated round markers and two pairs that touch;
- bars: bars of random heights, drawn without snapping to whole pixels so that their tops fall
  between pixel rows.
"""

import argparse
import math
import os

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

SIZES = ((960, 720), (4000, 3000))
FIGURE_INCHES = (9.6, 7.2)
WALK = "#1f5fb4"
SMOOTH = "#d62728"
SCATTER = "#2c8c2c"
BARS = "#9467bd"


def rgb(colour):
    return tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))


class Chart:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.fig = plt.figure(figsize=FIGURE_INCHES, dpi=width / FIGURE_INCHES[0])
        self.ax = self.fig.add_axes([0.1, 0.1, 0.85, 0.82])
        self.scale = width / 960

    def pixel(self, x, y):
        """Display coordinates have y upward from the bottom edge and count pixel edges; the
        picture's pixel centres lie half a pixel in."""
        dx, dy = self.ax.transData.transform((x, y))
        return dx - 0.5, self.height - dy - 0.5

    def marker_pixel(self, x, y):
        """Agg draws a marker once and stamps it at whole pixels: its centre lands on a pixel
        centre, half a pixel beyond the pixel edge that the display position rounds to (to the
        right in x, downward in y)."""
        dx, dy = self.ax.transData.transform((x, y))
        return math.floor(dx + 0.5), self.height - math.floor(dy + 0.5)

    def area(self):
        x0, y0, x1, y1 = self.ax.get_window_extent().extents
        pad = math.ceil(3 * self.scale)
        return (math.ceil(x0) + pad, self.height - math.floor(y1) + pad, math.floor(x1) - pad,
                self.height - math.ceil(y0) - pad)

    def save(self, out, name):
        base = os.path.join(out, f"{name}-{self.width}x{self.height}")
        if self.width <= 960:
            self.fig.savefig(base + ".png", dpi=self.fig.dpi)
        self.fig.savefig(base + ".jpg", dpi=self.fig.dpi, pil_kwargs={"quality": 75})
        plt.close(self.fig)
        return base


def lines_chart(chart, rng):
    ax = chart.ax
    ax.set_xlim(-0.5, 12.5)
    ax.set_ylim(0, 10)
    ax.grid(True)
    walk_x = np.arange(0, 12.01, 1.0)
    walk_y = np.clip(5 + np.cumsum(rng.normal(0, 1.3, walk_x.size)), 1, 9)
    ax.plot(walk_x, walk_y, "o-", color=WALK, linewidth=1.5, markersize=6)
    smooth_x = np.linspace(0.3, 11.7, 600)
    smooth_y = 5 + 3 * np.sin(smooth_x * 0.9) + 1.2 * np.tanh((smooth_x - 7) * 4)
    ax.plot(smooth_x, smooth_y, "-", color=SMOOTH, linewidth=1.5)
    chart.fig.canvas.draw()
    lines = []
    for colour, xs, ys in ((WALK, walk_x, walk_y), (SMOOTH, smooth_x, smooth_y)):
        lines.append("curve %d %d %d" % rgb(colour))
        lines += ["vertex %.4f %.4f" % chart.pixel(x, y) for x, y in zip(xs, ys)]
    return lines


def scatter_chart(chart, rng):
    ax = chart.ax
    ax.set_xlim(0, 100)
    ax.set_ylim(0, 100)
    ax.grid(True)
    points = []
    # Markers 7 points across are about 9.7 pixels at 960 x 720; data units are about 8 pixels.
    while len(points) < 36:
        x, y = rng.uniform(4, 96, 2)
        if all(math.hypot(x - px, y - py) > 2.5 for px, py in points):
            points.append((x, y))
    for x, y in ((30.0, 52.0), (70.0, 18.0)):
        points = [p for p in points if math.hypot(p[0] - x, p[1] - y) > 4.5]
        points += [(x, y), (x + 1.0, y + 0.4)]
    xs, ys = zip(*points)
    ax.plot(xs, ys, "o", color=SCATTER, markersize=7, linestyle="none")
    chart.fig.canvas.draw()
    return ["marker %d %d %d" % rgb(SCATTER)] + ["centre %.4f %.4f" % chart.marker_pixel(x, y) for x, y in points]


def bars_chart(chart, rng):
    ax = chart.ax
    ax.set_xlim(-0.7, 7.7)
    ax.set_ylim(0, 100)
    ax.grid(True, axis="y")
    ax.set_axisbelow(True)
    heights = rng.uniform(12, 92, 8)
    ax.bar(np.arange(8), heights, width=0.6, color=BARS, snap=False)
    chart.fig.canvas.draw()
    return ["bar %d %d %d" % rgb(BARS)] + ["top %.4f %.4f" % chart.pixel(i, h) for i, h in enumerate(heights)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(os.path.dirname(__file__), "..", "tests", "imaging",
                                                      "extraction_charts"))
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for name, draw in (("lines", lines_chart), ("scatter", scatter_chart), ("bars", bars_chart)):
        for width, height in SIZES:
            chart = Chart(width, height)
            lines = draw(chart, np.random.default_rng(15))
            lines.insert(0, "area %d %d %d %d" % chart.area())
            base = chart.save(args.out, name)
            with open(base + ".txt", "w") as truth:
                truth.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
