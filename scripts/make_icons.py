#!/usr/bin/env python3
"""Draws the pictures stored in the program and writes them as PNG files into resources/.

    scripts/make_icons.py [--out DIR] [--preview DIR]

- pen.png: 24 x 24 RGBA, a pencil drawn diagonally (tip at the lower left), anti-aliased.
- dialog_question.png, dialog_prohibition.png, dialog_light_bulb.png, dialog_information.png,
  dialog_padlock.png: 120 x 90, 8-bit palette. Palette index 0 is the background, made fully
  transparent by a one-entry tRNS chunk; the drawing is black, its edges smoothed with a few
  opaque grey entries.

--preview writes enlarged copies over a light background, for looking at the drawings.

Plain Python 3 and zlib only. Shapes are described geometrically and sampled several times per
pixel; the share of samples inside gives the pixel's coverage.
"""

import argparse
import math
import os
import struct
import zlib

# ---------------------------------------------------------------------------------------------
# PNG writing (the PNG format: signature, IHDR, PLTE, tRNS, IDAT, IEND; CRC-32 per chunk).

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png_bytes(width, height, colour_type, rows, palette=None, transparency=None):
    """rows: one bytes object per row, samples already packed (no filter byte)."""
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    raw = b"".join(b"\x00" + bytes(row) for row in rows)  # filter type 0 (None) on every row
    out = PNG_SIGNATURE + png_chunk(b"IHDR", header)
    if palette is not None:
        out += png_chunk(b"PLTE", b"".join(bytes(entry) for entry in palette))
    if transparency is not None:
        out += png_chunk(b"tRNS", bytes(transparency))
    out += png_chunk(b"IDAT", zlib.compress(raw, 9))
    out += png_chunk(b"IEND", b"")
    return out


def write_file(path, data):
    with open(path, "wb") as f:
        f.write(data)


# ---------------------------------------------------------------------------------------------
# Geometry: signed distances (negative inside) of the shapes the drawings are made of.


def dist_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def sd_disc(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def sd_box(px, py, x0, y0, x1, y1, radius=0.0):
    """Rounded box from (x0, y0) to (x1, y1)."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def sd_polygon(px, py, points):
    distance = min(dist_segment(px, py, *points[i], *points[(i + 1) % len(points)]) for i in range(len(points)))
    inside = False
    for i in range(len(points)):
        (ax, ay), (bx, by) = points[i], points[(i + 1) % len(points)]
        if (ay > py) != (by > py) and px < ax + (py - ay) * (bx - ax) / (by - ay):
            inside = not inside
    return -distance if inside else distance


def sd_polyline(px, py, points, width):
    """A stroke of the given width along connected segments, with round ends and joins."""
    return min(dist_segment(px, py, *points[i], *points[i + 1]) for i in range(len(points) - 1)) - width / 2


def bezier(p0, p1, p2, steps=24):
    return [
        ((1 - t) ** 2 * p0[0] + 2 * (1 - t) * t * p1[0] + t * t * p2[0],
         (1 - t) ** 2 * p0[1] + 2 * (1 - t) * t * p1[1] + t * t * p2[1])
        for t in (i / steps for i in range(steps + 1))
    ]


def arc_points(cx, cy, r, start_deg, end_deg, steps=48):
    """Points on a circle; angles in degrees, 0 to the right, growing clockwise (y points down)."""
    return [
        (cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a)))
        for a in (start_deg + (end_deg - start_deg) * i / steps for i in range(steps + 1))
    ]


# ---------------------------------------------------------------------------------------------
# Dialog icons: 120 x 90, black drawings. Each is a function (x, y) -> True when the point is
# part of the drawing.

ICON_WIDTH, ICON_HEIGHT = 120, 90
STROKE = 9.0


def question_mark(x, y):
    hook = arc_points(60, 30, 17, 165, 405)  # over the top, round the right and down
    end = hook[-1]
    bend = bezier(end, (60, 50), (60, 58))
    if sd_polyline(x, y, hook + bend[1:], STROKE) <= 0:
        return True
    return sd_disc(x, y, 60, 74, 6.5) <= 0


def prohibition_sign(x, y):
    cx, cy, r, width = 60, 45, 37, 9
    ring = abs(math.hypot(x - cx, y - cy) - (r - width / 2)) - width / 2
    if ring <= 0:
        return True
    # The bar runs from the upper left to the lower right, inside the ring.
    d = r - width / 2
    a = (cx - d * math.cos(math.pi / 4), cy - d * math.sin(math.pi / 4))
    b = (cx + d * math.cos(math.pi / 4), cy + d * math.sin(math.pi / 4))
    return dist_segment(x, y, *a, *b) <= width / 2 and sd_disc(x, y, cx, cy, r - width / 2) <= 0


BULB_NECK = [(44.5, 45), (75.5, 45), (69, 62), (51, 62)]
FILAMENT_LEFT = [(57, 62), (52, 44)]
FILAMENT_RIGHT = [(63, 62), (68, 44)]
FILAMENT_COIL = [(52 + 16 * i / 48, 44 + 2.2 * math.sin(i / 48 * 3 * 2 * math.pi)) for i in range(49)]
BULB_GLARE = arc_points(60, 33, 12.5, 195, 250, 12)


def light_bulb(x, y):
    # Glass: the outline of a circle merged with a narrowing neck.
    glass = min(sd_disc(x, y, 60, 33, 19), sd_polygon(x, y, BULB_NECK))
    if abs(glass) <= 2.6:
        return True
    # Filament: a coil held by two supports that spread from the neck.
    if sd_polyline(x, y, FILAMENT_LEFT, 2.2) <= 0 or sd_polyline(x, y, FILAMENT_RIGHT, 2.2) <= 0:
        return True
    if sd_polyline(x, y, FILAMENT_COIL, 2.2) <= 0:
        return True
    # A reflection on the glass, upper left.
    if sd_polyline(x, y, BULB_GLARE, 2.6) <= 0:
        return True
    # Screw base with two grooves, and its contact.
    base = sd_box(x, y, 50, 63, 70, 77, 2.5)
    groove = min(abs(y - 67.7), abs(y - 72.3)) - 0.9
    if base <= 0 and not (groove <= 0 and 51.5 < x < 68.5):
        return True
    if sd_box(x, y, 55, 76, 65, 82, 2.5) <= 0:
        return True
    # Rays above the bulb.
    for angle in (-160, -125, -90, -55, -20):
        c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))
        if dist_segment(x, y, 60 + 25 * c, 33 + 25 * s, 60 + 31 * c, 33 + 31 * s) <= 1.8:
            return True
    return False


def letter_i(x, y):
    if sd_disc(x, y, 61, 16, 7.5) <= 0:
        return True
    stem = sd_box(x, y, 55, 31, 67, 76, 0.8)
    top_serif = sd_box(x, y, 46, 31, 60, 38, 0.8)
    foot = sd_box(x, y, 45, 70, 77, 77, 0.8)
    return min(stem, top_serif, foot) <= 0


def open_padlock(x, y):
    # Body with a keyhole cut out.
    body = sd_box(x, y, 36, 42, 84, 84, 6)
    keyhole = min(sd_disc(x, y, 60, 57, 5.5), sd_polygon(x, y, [(57.5, 58), (62.5, 58), (64.5, 72), (55.5, 72)]))
    if body <= 0 and keyhole > 0:
        return True
    # The shackle is pulled up: the left leg still reaches into the body, the right one ends
    # well above it.
    shackle = [(46, 44), (46, 22)] + arc_points(60, 22, 14, 180, 360)[1:] + [(74, 31)]
    return sd_polyline(x, y, shackle, 7.5) <= 0


DIALOG_ICONS = [
    ("dialog_question", question_mark),
    ("dialog_prohibition", prohibition_sign),
    ("dialog_light_bulb", light_bulb),
    ("dialog_information", letter_i),
    ("dialog_padlock", open_padlock),
]

# Palette: 0 the transparent background, then opaque shades from black (full coverage) to a
# light grey (a pixel barely touched), so that edges look smooth on a light dialog background.
GREY_LEVELS = 8


def icon_palette():
    palette = [(255, 255, 255)]
    for level in range(GREY_LEVELS, 0, -1):  # index 1 is black
        grey = round(255 * (1 - level / GREY_LEVELS) * 0.92)
        palette.append((grey, grey, grey))
    return palette


def coverage(inside, x, y, samples):
    hits = 0
    for sy in range(samples):
        for sx in range(samples):
            if inside(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def draw_icon(inside, samples=5):
    """Palette indices, one list per row."""
    rows = []
    for y in range(ICON_HEIGHT):
        row = []
        for x in range(ICON_WIDTH):
            level = round(coverage(inside, x, y, samples) * GREY_LEVELS)
            row.append(0 if level == 0 else GREY_LEVELS + 1 - level)
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------------------------
# Pen icon: 24 x 24 RGBA. A yellow pencil from the lower left (graphite tip) to the upper right
# (eraser). Described along its axis: u from the tip, v across.

PEN_SIZE = 24
PEN_TIP = (2.2, 21.8)
PEN_END = (21.6, 2.4)
PEN_HALF_WIDTH = 3.6
CONE_LENGTH = 6.8
GRAPHITE_LENGTH = 2.6
OUTLINE = 0.85

GRAPHITE = (45, 45, 52)
WOOD = (236, 200, 146)
YELLOW_LIGHT = (255, 214, 64)
YELLOW = (244, 184, 24)
YELLOW_DARK = (214, 146, 10)
FERRULE = (196, 198, 206)
FERRULE_DARK = (128, 130, 142)
ERASER = (238, 124, 138)
OUTLINE_COLOUR = (58, 40, 24)


def pen_colour(x, y):
    """(r, g, b) of the pencil at the point, or None outside it."""
    ax, ay = PEN_END[0] - PEN_TIP[0], PEN_END[1] - PEN_TIP[1]
    length = math.hypot(ax, ay)
    ux, uy = ax / length, ay / length
    u = (x - PEN_TIP[0]) * ux + (y - PEN_TIP[1]) * uy
    v = (x - PEN_TIP[0]) * -uy + (y - PEN_TIP[1]) * ux  # > 0 is the lower right side
    if u < 0 or u > length:
        return None
    half = PEN_HALF_WIDTH if u >= CONE_LENGTH else PEN_HALF_WIDTH * u / CONE_LENGTH
    cap_start = length - PEN_HALF_WIDTH
    if u > cap_start:  # rounded end of the eraser
        half = math.sqrt(max(0.0, PEN_HALF_WIDTH ** 2 - (u - cap_start) ** 2))
    if abs(v) > half:
        return None
    slope = PEN_HALF_WIDTH / CONE_LENGTH
    edge = OUTLINE * math.sqrt(1 + slope * slope) if u < CONE_LENGTH else OUTLINE
    if abs(v) > half - edge or u > length - OUTLINE:
        return GRAPHITE if u < GRAPHITE_LENGTH else OUTLINE_COLOUR
    if u < GRAPHITE_LENGTH:
        return GRAPHITE
    if u < CONE_LENGTH:
        return WOOD
    ferrule_start = length - 7.6
    eraser_start = length - 4.6
    if u < ferrule_start:
        if u < CONE_LENGTH + 0.7:  # the sharpened edge of the paint
            return YELLOW_DARK
        # Three facets of the hexagonal body, lit from the upper left.
        third = (PEN_HALF_WIDTH - OUTLINE) / 3
        return YELLOW_LIGHT if v < -third else YELLOW if v < third else YELLOW_DARK
    if u < eraser_start:
        return FERRULE_DARK if int((u - ferrule_start) / 1.0) % 2 else FERRULE
    return ERASER


def draw_pen(samples=8):
    """Straight RGBA bytes, one bytes object per row."""
    rows = []
    for y in range(PEN_SIZE):
        row = bytearray()
        for x in range(PEN_SIZE):
            r = g = b = hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    colour = pen_colour(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples)
                    if colour:
                        r, g, b, hits = r + colour[0], g + colour[1], b + colour[2], hits + 1
            if hits == 0:
                row += b"\x00\x00\x00\x00"
            else:
                row += bytes((round(r / hits), round(g / hits), round(b / hits), round(255 * hits / samples ** 2)))
        rows.append(bytes(row))
    return rows


# ---------------------------------------------------------------------------------------------
# Previews: enlarged, over a light background.

BACKGROUND = (236, 236, 236)


def preview_rgba(rgba_rows, width, height, factor):
    rows = []
    for y in range(height * factor):
        source = rgba_rows[y // factor]
        row = bytearray()
        for x in range(width * factor):
            r, g, b, a = source[4 * (x // factor): 4 * (x // factor) + 4]
            row += bytes(round((c * a + bg * (255 - a)) / 255) for c, bg in zip((r, g, b), BACKGROUND))
        rows.append(bytes(row))
    return png_bytes(width * factor, height * factor, 2, rows)


def indices_to_rgba(index_rows, palette):
    return [
        b"".join(bytes(BACKGROUND) + b"\x00" if i == 0 else bytes(palette[i]) + b"\xff" for i in row)
        for row in index_rows
    ]


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(root, "resources"))
    parser.add_argument("--preview", help="folder for enlarged previews")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)

    palette = icon_palette()
    for name, inside in DIALOG_ICONS:
        rows = draw_icon(inside)
        write_file(os.path.join(args.out, name + ".png"),
                   png_bytes(ICON_WIDTH, ICON_HEIGHT, 3, rows, palette=palette, transparency=[0]))
        if args.preview:
            os.makedirs(args.preview, exist_ok=True)
            write_file(os.path.join(args.preview, name + ".png"),
                       preview_rgba(indices_to_rgba(rows, palette), ICON_WIDTH, ICON_HEIGHT, 4))

    pen = draw_pen()
    write_file(os.path.join(args.out, "pen.png"), png_bytes(PEN_SIZE, PEN_SIZE, 6, pen))
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        write_file(os.path.join(args.preview, "pen.png"), preview_rgba(pen, PEN_SIZE, PEN_SIZE, 16))
        write_file(os.path.join(args.preview, "pen_actual.png"), preview_rgba(pen, PEN_SIZE, PEN_SIZE, 1))


if __name__ == "__main__":
    main()
