#!/usr/bin/env python3
"""Draws the pictures of the program's skeleton folder (package/root).

"Sample Images": a stained-tissue-like micrograph with cells and grain, a stage-micrometer-like calibration slide with
ruled lines every 10 pixels, and a grey ramp for checking display and contrast. "OEM": the splash picture and the
about box's title picture that OEM/OEM.INI names. All are our own; the output is deterministic (fixed seed, no
timestamps), so re-running it leaves the committed files unchanged.
    scripts/make-sample-images.py [skeleton folder]   (default: package/root)
Only the Python standard library is used.
"""
import math
import os
import random
import struct
import sys
import zlib


def write_png(path, width, height, channels, rows):
    """Writes 8-bit grey (channels=1) or RGB (channels=3) rows of bytes as a PNG with no ancillary chunks."""
    colour_type = {1: 0, 3: 2}[channels]

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = bytearray()
    previous = bytes(width * channels)
    for row in rows:
        assert len(row) == width * channels
        # The "up" filter compresses smooth images far better than none, at no cost to the reader.
        raw.append(2)
        raw.extend((row[i] - previous[i]) & 0xFF for i in range(len(row)))
        previous = row
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


def clamp(value):
    return max(0, min(255, int(round(value))))


def micrograph(width=320, height=240):
    """Pale background, round cells with a darker rim and nucleus, fine grain."""
    rng = random.Random(20240611)
    cells = []
    while len(cells) < 22:
        r = rng.uniform(12, 26)
        x, y = rng.uniform(r, width - r), rng.uniform(r, height - r)
        if all(math.hypot(x - cx, y - cy) > r + cr + 2 for cx, cy, cr in cells):
            cells.append((x, y, r))
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            # Background: a slightly uneven pink-white field, as under a lamp that is not quite centred.
            shade = 1.0 - 0.12 * math.hypot(x - width * 0.4, y - height * 0.45) / width
            red, green, blue = 236 * shade, 214 * shade, 226 * shade
            for cx, cy, cr in cells:
                d = math.hypot(x - cx, y - cy)
                if d < cr + 1.5:
                    edge = min(1.0, cr + 1.5 - d)
                    if d > cr - 2.5:
                        tone = (150, 70, 130)  # membrane
                    elif d < cr * 0.35:
                        tone = (70, 40, 120)  # nucleus
                    else:
                        tone = (210, 150, 190)  # cytoplasm
                    red += (tone[0] - red) * edge
                    green += (tone[1] - green) * edge
                    blue += (tone[2] - blue) * edge
                    break
            grain = rng.gauss(0, 3)
            row.extend((clamp(red + grain), clamp(green + grain), clamp(blue + grain)))
        rows.append(bytes(row))
    return width, height, 3, rows


def calibration_slide(width=420, height=120):
    """A ruler like a stage micrometer: a tick every 10 px, longer every 50 px, longest every 100 px."""
    left, baseline = 10, 80
    rows = [bytearray([232] * width) for _ in range(height)]
    for y in range(baseline - 1, baseline + 1):
        for x in range(left, left + 401):
            rows[y][x] = 30
    for tick in range(0, 401, 10):
        length = 40 if tick % 100 == 0 else 28 if tick % 50 == 0 else 16
        for y in range(baseline - length, baseline):
            rows[y][left + tick] = 30
    # Fine divisions under the first 20 px, every 2 px, so a calibration can be checked to the pixel when zoomed.
    for tick in range(0, 21, 2):
        for y in range(baseline + 1, baseline + (12 if tick % 10 == 0 else 8)):
            rows[y][left + tick] = 30
    return width, height, 1, [bytes(row) for row in rows]


def grey_ramp(width=256, height=64):
    """Every grey level 0..255 once per row, left to right."""
    row = bytes(range(256))
    return width, height, 1, [row for _ in range(height)]


def emblem(width, height, ring_x, ring_y, ring_radius):
    """A deep blue to teal field with a lens ring: the splash and about-box pictures."""
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            t = x / (width - 1)
            red, green, blue = 16 + 10 * t, 40 + 90 * t, 90 + 60 * t
            d = math.hypot(x - ring_x, y - ring_y)
            for radius, tone in ((ring_radius, (235, 240, 245)), (ring_radius * 0.62, (120, 210, 220))):
                cover = max(0.0, 1.0 - abs(d - radius) / (ring_radius * 0.09))
                red += (tone[0] - red) * cover
                green += (tone[1] - green) * cover
                blue += (tone[2] - blue) * cover
            row.extend((clamp(red), clamp(green), clamp(blue)))
        rows.append(bytes(row))
    return width, height, 3, rows


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    skeleton = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "package", "root")
    pictures = (("Sample Images/Micrograph.png", micrograph),
                ("Sample Images/Calibration Slide.png", calibration_slide),
                ("Sample Images/Grey Ramp.png", grey_ramp),
                ("OEM/splash.png", lambda: emblem(400, 240, 200, 120, 70)),
                ("OEM/aboutbox_title.png", lambda: emblem(360, 72, 36, 36, 24)))
    for name, draw in pictures:
        path = os.path.join(skeleton, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        write_png(path, *draw())


if __name__ == "__main__":
    main()
