#!/usr/bin/env python3
"""Draws the program's two icon groups and writes them as .ico files beside this script.

DEFICON1.ico: ten images (the program's icon); MAINICON.ico: six images.
The picture is a sheet of text with a tag bracket on a rounded square. Run it again after a
change; the .ico files are committed so that a build needs no Python.
"""
import os
import struct


def draw(size, background):
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    s = size / 32.0

    def fill(x0, y0, x1, y1, colour):
        for y in range(max(0, int(y0 * s)), min(size, int(round(y1 * s)))):
            for x in range(max(0, int(x0 * s)), min(size, int(round(x1 * s)))):
                px[y][x] = colour

    radius = 5 * s
    for y in range(size):
        for x in range(size):
            cx = min(max(x + 0.5, radius), size - radius)
            cy = min(max(y + 0.5, radius), size - radius)
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius ** 2:
                px[y][x] = background + (255,)
    fill(7, 4, 25, 28, (255, 255, 255, 255))            # the sheet
    for line in range(4):                                # its text lines
        fill(10, 8 + line * 4, 22 - (line % 2) * 4, 9.5 + line * 4, (120, 120, 120, 255))
    red = (200, 30, 30, 255)
    fill(10, 22, 12, 25, red)                            # "<" and ">" of a tag, drawn as steps
    fill(12, 21, 14, 23, red)
    fill(12, 24, 14, 26, red)
    fill(20, 22, 22, 25, red)
    fill(18, 21, 20, 23, red)
    fill(18, 24, 20, 26, red)
    return px


def image_entry(size, background):
    px = draw(size, background)
    xor = bytearray()
    for row in reversed(px):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(px):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def write_ico(path, sizes, background):
    images = [image_entry(size, background) for size in sizes]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


here = os.path.dirname(os.path.abspath(__file__))
write_ico(os.path.join(here, 'DEFICON1.ico'), [16, 20, 24, 32, 40, 48, 64, 72, 96, 128], (30, 70, 160))
write_ico(os.path.join(here, 'MAINICON.ico'), [16, 24, 32, 48, 64, 128], (30, 120, 70))
