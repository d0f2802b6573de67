#!/usr/bin/env python3
"""Draws the application icon (a calendar page with a clock in front) and writes res/chronset.ico.

The icon holds 16, 32 and 48 pixel images as 32-bit bitmaps with alpha and a 256 pixel image
as PNG. Shapes are described by signed distance functions in a unit square, so every size is
drawn directly at its own resolution with anti-aliased edges; small sizes drop the fine detail.

Usage: make-icon.py [--preview DIR]   (--preview also writes each size as DIR/chronset-N.png)
"""

import math
import os
import struct
import sys
import zlib

SIZES = (16, 32, 48, 256)
PNG_SIZES = (256,)

BORDER = (0x46, 0x55, 0x68)
PAGE = (0xFF, 0xFF, 0xFF)
HEADER = (0xD6, 0x45, 0x3D)
RINGS = (0x33, 0x3D, 0x4A)
GRID = (0xB4, 0xC0, 0xCE)
CLOCK_RIM = (0x25, 0x6B, 0xC9)
CLOCK_FACE = (0xFF, 0xFF, 0xFF)
TICKS = (0x7D, 0x8B, 0x9C)
HANDS = (0x1E, 0x28, 0x33)
SHADOW = (0x00, 0x00, 0x00)


def rounded_box(px, py, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def segment(px, py, ax, ay, bx, by, half_width):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    return math.hypot(px - ax - t * dx, py - ay - t * dy) - half_width


class Canvas:
    def __init__(self, size):
        self.size = size
        self.pixel = 1.0 / size
        self.rgba = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def fill(self, distance, color, opacity=1.0, bounds=(0.0, 0.0, 1.0, 1.0)):
        """Composites colour over the canvas where distance(x, y) < 0, with a one-pixel soft edge."""
        s = self.size
        x_from, y_from = max(int(bounds[0] * s) - 1, 0), max(int(bounds[1] * s) - 1, 0)
        x_to, y_to = min(int(bounds[2] * s) + 2, s), min(int(bounds[3] * s) + 2, s)
        red, green, blue = (c / 255.0 for c in color)
        for y in range(y_from, y_to):
            py = (y + 0.5) * self.pixel
            for x in range(x_from, x_to):
                px = (x + 0.5) * self.pixel
                coverage = min(max(0.5 - distance(px, py) / self.pixel, 0.0), 1.0) * opacity
                if coverage <= 0.0:
                    continue
                dst = self.rgba[y * s + x]
                alpha = coverage + dst[3] * (1.0 - coverage)
                for i, src in enumerate((red, green, blue)):
                    dst[i] = (src * coverage + dst[i] * dst[3] * (1.0 - coverage)) / alpha
                dst[3] = alpha

    def bytes_rgba(self):
        out = bytearray()
        for r, g, b, a in self.rgba:
            out += bytes(round(min(max(v, 0.0), 1.0) * 255) for v in (r, g, b, a))
        return bytes(out)


class PixelGrid:
    """Snaps unit coordinates to the pixel grid of one size, so that straight edges and lines stay crisp."""

    def __init__(self, size):
        self.size = size

    def edge(self, v):
        return round(v * self.size) / self.size

    def width(self, w, minimum_pixels=1):
        return max(round(w * self.size), minimum_pixels) / self.size

    def centre(self, v, line_width):
        """A line of an odd number of pixels is centred on a pixel, one of an even number on a pixel edge."""
        if round(line_width * self.size) % 2:
            return (math.floor(v * self.size) + 0.5) / self.size
        return self.edge(v)


def draw(size):
    canvas = Canvas(size)
    grid = PixelGrid(size)
    detailed = size >= 32

    border = grid.width(0.035)
    page = tuple(grid.edge(v) for v in (0.05, 0.12, 0.79, 0.86))
    corner = max(0.08, 2.0 / size)
    canvas.fill(lambda x, y: rounded_box(x, y, *page, corner), BORDER, bounds=page)
    inner = (page[0] + border, page[1] + border, page[2] - border, page[3] - border)
    canvas.fill(lambda x, y: rounded_box(x, y, *inner, corner - border), PAGE, bounds=inner)
    header_bottom = grid.edge(0.34)
    canvas.fill(lambda x, y: max(rounded_box(x, y, *inner, corner - border), y - header_bottom),
                HEADER, bounds=(inner[0], inner[1], inner[2], header_bottom))

    ring_width = grid.width(0.064)
    for ring_x in (0.25, 0.59):
        rx = grid.centre(ring_x, ring_width)
        top, bottom = grid.edge(0.05) + ring_width / 2, grid.edge(0.22) - ring_width / 2
        canvas.fill(lambda x, y, rx=rx: segment(x, y, rx, top, rx, bottom, ring_width / 2), RINGS,
                    bounds=(rx - 0.06, 0.0, rx + 0.06, 0.3))

    if detailed:
        cell = grid.width(0.075)
        for row in range(3):
            for col in range(4):
                gx = grid.edge(0.13 + col * 0.155)
                gy = grid.edge(0.44 + row * 0.13)
                canvas.fill(lambda x, y, gx=gx, gy=gy: rounded_box(x, y, gx, gy, gx + cell, gy + cell, 0.012),
                            GRID, bounds=(gx, gy, gx + cell, gy + cell))

    hand_width = grid.width(0.052)
    cx = cy = grid.centre(0.665, hand_width)
    radius = 0.315
    rim = max(0.055, 1.6 / size)
    clock_bounds = (cx - radius - 0.05, cy - radius - 0.05, 1.0, 1.0)
    if size >= 48:
        canvas.fill(lambda x, y: circle(x, y, cx + 0.012, cy + 0.02, radius + 0.01), SHADOW, opacity=0.22,
                    bounds=clock_bounds)
    # A white gap around the clock separates it from the page behind it.
    canvas.fill(lambda x, y: circle(x, y, cx, cy, radius + max(0.02, 0.6 / size)), PAGE, bounds=clock_bounds)
    canvas.fill(lambda x, y: circle(x, y, cx, cy, radius), CLOCK_RIM, bounds=clock_bounds)
    canvas.fill(lambda x, y: circle(x, y, cx, cy, radius - rim), CLOCK_FACE, bounds=clock_bounds)

    face = radius - rim
    if detailed:
        tick_outer = face - 0.025
        for hour in range(0, 12, 1 if size >= 48 else 3):
            angle = hour * math.pi / 6
            tick_inner = tick_outer - (0.055 if hour % 3 == 0 else 0.025)
            sx, sy = math.sin(angle), -math.cos(angle)
            canvas.fill(lambda x, y, sx=sx, sy=sy, tick_inner=tick_inner:
                        segment(x, y, cx + sx * tick_inner, cy + sy * tick_inner,
                                cx + sx * tick_outer, cy + sy * tick_outer, max(0.011, 0.5 / size)),
                        TICKS, bounds=clock_bounds)

    # Three o'clock: two hands at a right angle read as a clock even at 16 pixels.
    half = hand_width / 2
    minute_tip = cy - grid.edge(face * 0.78)
    hour_tip = cx + grid.edge(face * 0.55)
    canvas.fill(lambda x, y: segment(x, y, cx, cy, cx, minute_tip + half, half), HANDS, bounds=clock_bounds)
    canvas.fill(lambda x, y: segment(x, y, cx, cy, hour_tip - half, cy, half), HANDS, bounds=clock_bounds)
    if detailed:
        canvas.fill(lambda x, y: circle(x, y, cx, cy, hand_width * 0.9), HANDS, bounds=clock_bounds)
    return canvas.bytes_rgba()


def png(size, rgba):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    stride = size * 4
    raw = b"".join(b"\0" + rgba[y * stride:(y + 1) * stride] for y in range(size))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def dib(size, rgba):
    """A 32-bit icon bitmap: header with doubled height, bottom-up BGRA rows, then the AND mask."""
    mask_stride = (size + 31) // 32 * 4
    pixels = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):
        row_mask = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = rgba[(y * size + x) * 4:(y * size + x) * 4 + 4]
            pixels += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def ico(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        edge = 0 if size >= 256 else size
        directory += struct.pack("<BBBBHHII", edge, edge, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        body += data
    return directory + body


def main(argv):
    preview = None
    if len(argv) == 3 and argv[1] == "--preview":
        preview = argv[2]
    elif len(argv) != 1:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    images = []
    for size in SIZES:
        rgba = draw(size)
        images.append((size, png(size, rgba) if size in PNG_SIZES else dib(size, rgba)))
        if preview:
            os.makedirs(preview, exist_ok=True)
            with open(os.path.join(preview, f"chronset-{size}.png"), "wb") as f:
                f.write(png(size, rgba))
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "chronset.ico")
    with open(target, "wb") as f:
        f.write(ico(images))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
