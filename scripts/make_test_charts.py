#!/usr/bin/python3
"""Draws the charts that the end-to-end chart test digitizes, with their truth.

    scripts/make_test_charts.py [--out DIR]

Needs Debian's python3-matplotlib (a developer's tool: the charts and their truth are committed,
so the tests do not need it). Writes into tests/app/charts/, for each chart NAME:
- NAME.png, 960 x 720 pixels, 8-bit RGB;
- NAME.txt, the truth as lines "kind x-pixel y-pixel x-value y-value": "axis" lines are the
  calibration points (the corner way: origin, width end, height end; or two marks per axis) and
  "point" lines the data points. Pixels are picture pixels with (0, 0) the top-left pixel's
  centre, y growing downward.

The charts:
- years: a line with markers over the years 1990 to 2020, values 20 to 80;
- scatter: a scatter plot of ten points, x from 0 to 100 and y from 0 to 50;
- logarithmic: markers on a logarithmic y axis from 1 to 10,000;
- rotated: the years chart turned by 3 degrees, as a scan that is a little off, calibrated by two
  ticks on each axis.
"""

import argparse
import math
import os

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

WIDTH, HEIGHT, DPI = 960, 720, 100

YEARS = [(1992, 31.5), (1996, 44.0), (2001, 38.25), (2005, 61.0), (2009, 55.5), (2014, 72.25), (2018, 66.0)]
SCATTER = [(7.5, 12.0), (18.0, 40.5), (26.25, 21.0), (33.0, 47.25), (41.5, 8.75), (55.0, 30.0), (62.75, 44.0),
           (70.0, 15.5), (81.5, 36.25), (93.0, 25.0)]
LOGARITHMIC = [(1.0, 2.0), (2.5, 15.0), (4.0, 120.0), (5.5, 40.0), (7.0, 900.0), (8.5, 3500.0)]


def figure():
    fig = plt.figure(figsize=(WIDTH / DPI, HEIGHT / DPI), dpi=DPI)
    ax = fig.add_axes([0.1, 0.1, 0.85, 0.82])
    return fig, ax


def picture_pixel(fig, ax, x, y):
    """The picture pixel of a data point: display coordinates have y upward from the bottom edge
    and count pixel edges, the picture's pixel centres lie half a pixel in."""
    fig.canvas.draw()
    dx, dy = ax.transData.transform((x, y))
    return dx - 0.5, HEIGHT - dy - 0.5


def save(fig, path):
    fig.savefig(path, dpi=DPI)
    plt.close(fig)


def years_chart(out):
    fig, ax = figure()
    ax.set_xlim(1990, 2020)
    ax.set_ylim(20, 80)
    ax.grid(True, color="#dddddd")
    xs, ys = zip(*YEARS)
    ax.plot(xs, ys, "-", color="#2060c0", linewidth=1.5)
    ax.plot(xs, ys, "o", color="#c03020", markersize=6)
    truth = [
        ("axis",) + picture_pixel(fig, ax, 1990, 20) + (1990, 20),
        ("axis",) + picture_pixel(fig, ax, 2020, 20) + (2020, 20),
        ("axis",) + picture_pixel(fig, ax, 1990, 80) + (1990, 80),
    ]
    truth += [("point",) + picture_pixel(fig, ax, x, y) + (x, y) for x, y in YEARS]
    save(fig, os.path.join(out, "years.png"))
    return truth


def scatter_chart(out):
    fig, ax = figure()
    ax.set_xlim(0, 100)
    ax.set_ylim(0, 50)
    ax.grid(True, color="#dddddd")
    xs, ys = zip(*SCATTER)
    ax.plot(xs, ys, "D", color="#8030a0", markersize=6, linestyle="none")
    truth = [
        ("axis",) + picture_pixel(fig, ax, 0, 0) + (0, 0),
        ("axis",) + picture_pixel(fig, ax, 100, 0) + (100, 0),
        ("axis",) + picture_pixel(fig, ax, 0, 50) + (0, 50),
    ]
    truth += [("point",) + picture_pixel(fig, ax, x, y) + (x, y) for x, y in SCATTER]
    save(fig, os.path.join(out, "scatter.png"))
    return truth


def logarithmic_chart(out):
    fig, ax = figure()
    ax.set_yscale("log")
    ax.set_xlim(0, 10)
    ax.set_ylim(1, 10000)
    ax.grid(True, which="both", color="#dddddd")
    xs, ys = zip(*LOGARITHMIC)
    ax.plot(xs, ys, "s", color="#208040", markersize=6)
    truth = [
        ("axis",) + picture_pixel(fig, ax, 0, 1) + (0, 1),
        ("axis",) + picture_pixel(fig, ax, 10, 1) + (10, 1),
        ("axis",) + picture_pixel(fig, ax, 0, 10000) + (0, 10000),
    ]
    truth += [("point",) + picture_pixel(fig, ax, x, y) + (x, y) for x, y in LOGARITHMIC]
    save(fig, os.path.join(out, "logarithmic.png"))
    return truth


def rotated_chart(out, degrees=3.0):
    """The years chart turned about the picture's centre; each output pixel is sampled
    bilinearly from the upright drawing, so the geometry is exactly the rotation below."""
    upright_path = os.path.join(out, "rotated-upright.png")
    fig, ax = figure()
    ax.set_xlim(1990, 2020)
    ax.set_ylim(20, 80)
    ax.grid(True, color="#dddddd")
    xs, ys = zip(*YEARS)
    ax.plot(xs, ys, "o", color="#c03020", markersize=6)
    marks = [(1995, 20), (2015, 20), (1990, 30), (1990, 70)]
    upright_marks = [picture_pixel(fig, ax, x, y) for x, y in marks]
    upright_points = [picture_pixel(fig, ax, x, y) for x, y in YEARS]
    save(fig, upright_path)
    image = plt.imread(upright_path)[:, :, :3]
    os.remove(upright_path)

    angle = math.radians(degrees)
    cx, cy = (WIDTH - 1) / 2, (HEIGHT - 1) / 2

    def turn(px, py):
        dx, dy = px - cx, py - cy
        return cx + dx * math.cos(angle) - dy * math.sin(angle), cy + dx * math.sin(angle) + dy * math.cos(angle)

    # For every output pixel, the upright pixel that turns onto it.
    oy, ox = np.mgrid[0:HEIGHT, 0:WIDTH].astype(float)
    dx, dy = ox - cx, oy - cy
    sx = cx + dx * math.cos(angle) + dy * math.sin(angle)
    sy = cy - dx * math.sin(angle) + dy * math.cos(angle)
    x0, y0 = np.floor(sx).astype(int), np.floor(sy).astype(int)
    fx, fy = (sx - x0)[..., None], (sy - y0)[..., None]
    inside = (x0 >= 0) & (y0 >= 0) & (x0 < WIDTH - 1) & (y0 < HEIGHT - 1)
    x0c, y0c = np.clip(x0, 0, WIDTH - 2), np.clip(y0, 0, HEIGHT - 2)
    turned = (
        image[y0c, x0c] * (1 - fx) * (1 - fy)
        + image[y0c, x0c + 1] * fx * (1 - fy)
        + image[y0c + 1, x0c] * (1 - fx) * fy
        + image[y0c + 1, x0c + 1] * fx * fy
    )
    turned[~inside] = 1.0
    plt.imsave(os.path.join(out, "rotated.png"), np.clip(turned, 0, 1))

    truth = [("axis",) + turn(*p) + m for p, m in zip(upright_marks, marks)]
    truth += [("point",) + turn(*p) + v for p, v in zip(upright_points, YEARS)]
    return truth


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(os.path.dirname(__file__), "..", "tests", "app", "charts"))
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    charts = (("years", years_chart), ("scatter", scatter_chart), ("logarithmic", logarithmic_chart),
              ("rotated", rotated_chart))
    for name, draw in charts:
        rows = draw(args.out)
        with open(os.path.join(args.out, name + ".txt"), "w") as truth:
            for kind, px, py, x, y in rows:
                truth.write(f"{kind} {px:.3f} {py:.3f} {x:g} {y:g}\n")


if __name__ == "__main__":
    main()
