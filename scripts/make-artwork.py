#!/usr/bin/env python3
"""Draws the installer's artwork into resources/art/.

  ortavel.ico          the product icon (16, 32 and 48 pixels)
  billboard-picture.bmp  bitmap 148, the whole second billboard (400 x 240)
  billboard-side.bmp     bitmap 152, the picture of the first billboard (88 x 120)

Shapes are drawn as signed distance functions with one pixel of
anti-aliasing, so the pictures stay crisp at their small sizes. Python's
standard library draws; ImageMagick's convert (installed by scripts/setup.sh)
reduces the bitmaps to 8-bit palettes and packs the icon. No text is drawn:
every text a user reads comes from the resource files.

Run from anywhere: python3 scripts/make-artwork.py
"""
import math
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "art")

# The palette of the product: the main window's blues, the flag's yellow and
# red, and the checker's green.
BLUE_TOP = (72, 99, 120)
BLUE_BOTTOM = (0, 105, 205)
YELLOW = (252, 205, 42)
RED = (218, 18, 26)
GREEN = (38, 150, 70)
GREEN_LIGHT = (80, 190, 100)
INK = (70, 84, 100)
INK_LIGHT = (170, 182, 196)
WHITE = (255, 255, 255)


class Canvas:
    def __init__(self, w, h, background=(0, 0, 0), alpha=1.0):
        self.w, self.h = w, h
        self.rgb = [[list(background) for _ in range(w)] for _ in range(h)]
        self.alpha = [[alpha] * w for _ in range(h)]

    def fill(self, colour_at):
        for y in range(self.h):
            for x in range(self.w):
                self.rgb[y][x] = list(colour_at(x + 0.5, y + 0.5))

    def paint(self, sdf, colour, bbox=None, soft=1.0, opacity=1.0):
        """Covers the shape sdf < 0; soft widens the edge (for shadows)."""
        x0, y0, x1, y1 = bbox if bbox else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0) - 2), max(0, int(y0) - 2)
        x1, y1 = min(self.w, int(x1) + 3), min(self.h, int(y1) + 3)
        for y in range(y0, y1):
            row, arow = self.rgb[y], self.alpha[y]
            for x in range(x0, x1):
                px, py = x + 0.5, y + 0.5
                d = sdf(px, py)
                cover = min(1.0, max(0.0, 0.5 - d / soft)) * opacity
                if cover <= 0.0:
                    continue
                c = colour(px, py) if callable(colour) else colour
                p = row[x]
                for i in range(3):
                    p[i] = p[i] * (1 - cover) + c[i] * cover
                arow[x] = arow[x] + (1 - arow[x]) * cover

    def write_ppm(self, path):
        with open(path, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (self.w, self.h))
            f.write(bytes(clamp(v) for row in self.rgb for p in row for v in p))

    def write_pam(self, path):
        with open(path, "wb") as f:
            f.write(b"P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                    % (self.w, self.h))
            data = bytearray()
            for row, arow in zip(self.rgb, self.alpha):
                for p, a in zip(row, arow):
                    data += bytes((clamp(p[0]), clamp(p[1]), clamp(p[2]), clamp(a * 255)))
            f.write(data)


def clamp(v):
    return max(0, min(255, int(round(v))))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# Signed distance functions.
def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def box(x0, y0, x1, y1, r=0.0):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return sdf


def segment(ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1e-9

    def sdf(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - width / 2
    return sdf


def polyline(points, width):
    parts = [segment(*points[i], *points[i + 1], width) for i in range(len(points) - 1)]
    return lambda x, y: min(p(x, y) for p in parts)


def polygon(points):
    """Exact distance to a convex or concave simple polygon."""
    n = len(points)

    def sdf(x, y):
        d = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
            d = min(d, math.hypot(x - ax - t * dx, y - ay - t * dy))
            if (ay > y) != (by > y) and x < ax + (y - ay) * dx / dy:
                inside = not inside
        return -d if inside else d
    return sdf


def wave(x0, x1, y, amplitude, period, width):
    steps = max(2, int((x1 - x0) * 2))
    pts = [(x0 + (x1 - x0) * i / steps,
            y + amplitude * math.sin(2 * math.pi * (x1 - x0) * i / steps / period))
           for i in range(steps + 1)]
    return polyline(pts, width)


def bbox_of(points, pad=0):
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return (min(xs) - pad, min(ys) - pad, max(xs) + pad, max(ys) + pad)


# Pieces shared by the pictures.
def draw_shadow(c, x0, y0, x1, y1, r, blur, offset, strength=0.35):
    c.paint(box(x0 + offset, y0 + offset, x1 + offset, y1 + offset, r), (20, 30, 50),
            (x0 - blur, y0 - blur, x1 + offset + blur, y1 + offset + blur), soft=blur,
            opacity=strength)


def draw_page(c, x0, y0, x1, y1, fold, lines, line_gap, line_width, marks=()):
    """A sheet with a folded corner and lines of text; marks are
    (line index, start fraction, end fraction, kind) with kind 'error' or 'fixed'."""
    draw_shadow(c, x0, y0, x1, y1, 2, max(2, fold / 2), max(1, fold / 4))
    sheet = polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)])
    c.paint(sheet, lambda x, y: mix(WHITE, (236, 241, 247), (y - y0) / (y1 - y0)),
            (x0, y0, x1, y1))
    c.paint(lambda x, y: abs(sheet(x, y)) - 0.5, (150, 164, 182),
            (x0, y0, x1, y1))
    flap = polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)])
    c.paint(flap, (205, 215, 228), (x1 - fold, y0, x1, y0 + fold))
    c.paint(lambda x, y: abs(flap(x, y)) - 0.45, (150, 164, 182), (x1 - fold, y0, x1, y0 + fold))
    margin = (x1 - x0) * 0.14
    top = y0 + fold + line_gap * 0.6
    for i in range(lines):
        y = top + i * line_gap
        if y > y1 - line_gap * 0.6:
            break
        end = x1 - margin - (x1 - x0) * (0.22 if i % 3 == 2 else 0.0)
        c.paint(segment(x0 + margin, y, end, y, line_width), INK_LIGHT,
                (x0, y - line_width, x1, y + line_width))
        for (index, a, b, kind) in marks:
            if index != i:
                continue
            wa, wb = x0 + margin + (end - x0 - margin) * a, x0 + margin + (end - x0 - margin) * b
            colour = INK if kind == "error" else GREEN
            c.paint(segment(wa, y, wb, y, line_width), colour, (wa - 2, y - 2, wb + 2, y + 2))
            if kind == "error":
                c.paint(wave(wa, wb, y + line_width * 1.3, line_width * 0.45, line_width * 1.6,
                             max(0.9, line_width * 0.35)), RED,
                        (wa - 2, y, wb + 2, y + line_width * 2.5))
            else:
                c.paint(segment(wa, y + line_width * 1.4, wb, y + line_width * 1.4,
                                max(0.9, line_width * 0.35)), GREEN,
                        (wa - 2, y, wb + 2, y + line_width * 2.5))


def draw_tick_badge(c, cx, cy, r):
    c.paint(circle(cx + r * 0.08, cy + r * 0.12, r), (10, 40, 20), (cx - r - 4, cy - r - 4, cx + r + 6, cy + r + 6),
            soft=max(1.0, r * 0.25), opacity=0.35)
    c.paint(circle(cx, cy, r), lambda x, y: mix(GREEN_LIGHT, GREEN, (y - cy + r) / (2 * r)),
            (cx - r, cy - r, cx + r, cy + r))
    c.paint(lambda x, y: abs(circle(cx, cy, r - 0.5)(x, y)) - 0.5, (24, 110, 50),
            (cx - r, cy - r, cx + r, cy + r))
    tick = [(cx - r * 0.48, cy + r * 0.02), (cx - r * 0.12, cy + r * 0.38), (cx + r * 0.50, cy - r * 0.36)]
    c.paint(polyline(tick, r * 0.28), WHITE, (cx - r, cy - r, cx + r, cy + r))


def draw_flag_band(c, x0, y0, x1, y1, vertical=True, n=9, clip=None):
    """Yellow and red stripes, the Catalan flag (nine, or fewer where the
    pixels are few), optionally cut to the shape clip."""
    for i in range(n):
        colour = YELLOW if i % 2 == 0 else RED
        if vertical:
            a, b = x0 + (x1 - x0) * i / n, x0 + (x1 - x0) * (i + 1) / n
            stripe, area = box(a, y0, b, y1), (a, y0, b, y1)
        else:
            a, b = y0 + (y1 - y0) * i / n, y0 + (y1 - y0) * (i + 1) / n
            stripe, area = box(x0, a, x1, b), (x0, a, x1, b)
        shape = stripe if clip is None else (lambda s: lambda x, y: max(s(x, y), clip(x, y)))(stripe)
        c.paint(shape, colour, area)


# The pictures.
def billboard_picture():
    w, h = 400, 240
    c = Canvas(w, h)
    c.fill(lambda x, y: mix((252, 250, 244), (206, 221, 238), (y / h) ** 1.3))
    # Soft blue hills of light behind the page.
    c.paint(circle(330, 330, 210), (190, 210, 234), (100, 110, 400, 240), soft=30, opacity=0.6)
    c.paint(circle(90, 380, 220), (214, 226, 240), (0, 150, 320, 240), soft=30, opacity=0.7)
    draw_flag_band(c, 0, 0, 27, h, vertical=True)
    c.paint(box(27, 0, 29, h), (255, 255, 255), (27, 0, 29, h), opacity=0.8)
    # A rule under the place where the product's name is written.
    c.paint(segment(46, 48, 196, 48, 2), BLUE_BOTTOM, (44, 45, 200, 51))
    c.paint(segment(46, 48, 96, 48, 2), RED, (44, 45, 100, 51))
    # Two sentences, one with a fault under a red wave, one corrected.
    for row, (y, marks) in enumerate([(78, [(0.42, 0.66, "error")]), (96, []),
                                      (126, [(0.18, 0.44, "fixed")]), (144, [])]):
        end = 196 - (40 if row % 2 else 0)
        c.paint(segment(46, y, end, y, 5), INK_LIGHT, (40, y - 4, 200, y + 4))
        for a, b, kind in marks:
            wa, wb = 46 + (end - 46) * a, 46 + (end - 46) * b
            c.paint(segment(wa, y, wb, y, 5), INK if kind == "error" else GREEN, (wa - 4, y - 4, wb + 4, y + 4))
            if kind == "error":
                c.paint(wave(wa - 1, wb + 1, y + 6.5, 1.6, 6, 1.3), RED, (wa - 4, y + 2, wb + 4, y + 11))
            else:
                c.paint(segment(wa, y + 6.5, wb, y + 6.5, 1.5), GREEN, (wa - 4, y + 3, wb + 4, y + 10))
    # The arrow from the fault to its correction.
    arc = [(206 + 13 * math.sin(math.pi * i / 16), 101 - 19 * math.cos(math.pi * i / 16))
           for i in range(15)]
    c.paint(polyline(arc, 2.2), (120, 136, 156), (200, 78, 224, 122))
    c.paint(polygon([(212, 113), (203, 120), (214, 124)]), (120, 136, 156), (200, 110, 218, 128))
    # The page with the checker's marks, and the badge that says all is well.
    draw_page(c, 252, 30, 364, 192, 18, 11, 13, 4.2,
              marks=[(2, 0.30, 0.62, "error"), (5, 0.10, 0.40, "fixed"), (8, 0.48, 0.88, "fixed")])
    draw_tick_badge(c, 352, 190, 27)
    # A thin frame keeps the picture's edge clean on any background.
    c.paint(lambda x, y: min(x, y, w - x, h - y) - 1, (120, 140, 165), (0, 0, w, h))
    return c


def billboard_side():
    w, h = 88, 120
    c = Canvas(w, h)
    c.fill(lambda x, y: mix((238, 244, 251), (190, 211, 235), y / h))
    draw_flag_band(c, 0, h - 9, w, h, vertical=False)
    draw_page(c, 10, 12, 66, 96, 12, 7, 9, 3.0,
              marks=[(1, 0.35, 0.75, "error"), (4, 0.05, 0.45, "fixed")])
    draw_tick_badge(c, 64, 88, 16)
    c.paint(lambda x, y: min(x, y, w - x, h - y) - 1, (120, 140, 165), (0, 0, w, h))
    return c


def icon(size):
    c = Canvas(size, size, background=(255, 255, 255), alpha=0.0)
    s = size / 32.0
    if size <= 16:
        # Few pixels: the page, two lines and the tick.
        draw_page(c, 1.5, 0.5, 11.5, 14.5, 3.5, 3, 3.2, 1.3, marks=[(1, 0.3, 1.0, "error")])
        draw_tick_badge(c, 11, 11, 4.6)
        return c
    draw_page(c, 3 * s, 1 * s, 23 * s, 29 * s, 7 * s, 7, 3.6 * s, 1.6 * s,
              marks=[(1, 0.35, 0.9, "error"), (3, 0.0, 0.45, "fixed")])
    # The flag as a bookmark on the page.
    ribbon = polygon([(6 * s, 0), (12 * s, 0), (12 * s, 11 * s), (9 * s, 8.5 * s), (6 * s, 11 * s)])
    c.paint(ribbon, (150, 40, 30), (5 * s, 0, 13 * s, 12 * s), soft=1.5, opacity=0.3)
    draw_flag_band(c, 6 * s, 0, 12 * s, 11 * s, vertical=True, n=5, clip=ribbon)
    draw_tick_badge(c, 22 * s, 22 * s, 8.6 * s)
    return c


def convert(*args):
    subprocess.run(["convert", *args], check=True)


def main():
    os.makedirs(OUT, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        for name, picture in (("billboard-picture", billboard_picture()),
                              ("billboard-side", billboard_side())):
            ppm = os.path.join(tmp, name + ".ppm")
            picture.write_ppm(ppm)
            # At most 236 colours: the 20 of the system stay free on a
            # 256-colour display. BMP3 is the format every Windows reads.
            convert(ppm, "-dither", "None", "-colors", "236", "-type", "Palette", "-compress", "None",
                    "BMP3:" + os.path.join(OUT, name + ".bmp"))
        frames = []
        for size in (16, 32, 48):
            pam = os.path.join(tmp, "icon%d.pam" % size)
            icon(size).write_pam(pam)
            frames.append(pam)
        convert(*frames, os.path.join(OUT, "ortavel.ico"))
    print("artwork written to", os.path.normpath(OUT))


if __name__ == "__main__":
    sys.exit(main())
