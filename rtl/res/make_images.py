#!/usr/bin/env python3
"""Draws the pictures of the run-time library's version dialog and writes them beside this script.

RUKVERINFOBANNERLOGO01R96CD24.bmp   banner logo, 128 x 42, 24-bit
RUKVERINFOBANNERBACKGROUND.bmp      banner background, 520 x 50, 24-bit (stretched to the form)
RUKLOGOBUTTON01S128CD24.bmp         maker picture, 128 x 128, 24-bit (Windows 2000 and older)
RUKLOGOBUTTON01S128CD32.bmp         maker picture, 128 x 128, 32-bit with alpha

The logo is drawn on the flat colour that the banner background ends in, so it looks the same
whether or not the image control draws it transparently. Run it again after a change; the
files are committed so that a build needs no Python.
"""
import os
import struct

# 5 x 7 capitals, one text row per pixel row.
GLYPHS = {
    'R': ['1111 ', '1   1', '1   1', '1111 ', '1 1  ', '1  1 ', '1   1'],
    'U': ['1   1', '1   1', '1   1', '1   1', '1   1', '1   1', ' 111 '],
    'K': ['1   1', '1  1 ', '1 1  ', '11   ', '1 1  ', '1  1 ', '1   1'],
    'L': ['1    ', '1    ', '1    ', '1    ', '1    ', '1    ', '11111'],
    'E': ['11111', '1    ', '1    ', '1111 ', '1    ', '1    ', '11111'],
    'X': ['1   1', '1   1', ' 1 1 ', '  1  ', ' 1 1 ', '1   1', '1   1'],
    'M': ['1   1', '11 11', '1 1 1', '1 1 1', '1   1', '1   1', '1   1'],
    'I': ['111', ' 1 ', ' 1 ', ' 1 ', ' 1 ', ' 1 ', '111'],
    ' ': ['  ', '  ', '  ', '  ', '  ', '  ', '  '],
}

BANNER_END = (236, 242, 250)   # the flat right-hand part of the banner background
NAVY = (24, 52, 120)
RED = (200, 30, 30)


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.px = [[tuple(colour)] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = tuple(colour)

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.px[y][x] = tuple(colour)

    def text(self, x, y, text, scale, colour, gap=1):
        for ch in text:
            glyph = GLYPHS[ch]
            for row, bits in enumerate(glyph):
                for col, bit in enumerate(bits):
                    if bit == '1':
                        self.rect(x + col * scale, y + row * scale, x + (col + 1) * scale, y + (row + 1) * scale,
                                  colour)
            x += (len(glyph[0]) + gap) * scale
        return x

    @staticmethod
    def text_width(text, scale, gap=1):
        return sum((len(GLYPHS[ch][0]) + gap) * scale for ch in text) - gap * scale


def write_bmp(path, canvas, bits):
    """Bottom-up BITMAPINFOHEADER file; 24-bit rows padded to four bytes, 32-bit with alpha."""
    data = bytearray()
    for row in reversed(canvas.px):
        line = bytearray()
        for p in row:
            r, g, b = p[:3]
            line += bytes((b, g, r)) if bits == 24 else bytes((b, g, r, p[3] if len(p) > 3 else 255))
        while len(line) % 4:
            line.append(0)
        data += line
    header = struct.pack('<IiiHHIIiiII', 40, canvas.width, canvas.height, 1, bits, 0, len(data), 2835, 2835, 0, 0)
    offset = 14 + len(header)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', offset + len(data), 0, 0, offset))
        f.write(header)
        f.write(data)


def banner_background():
    c = Canvas(520, 50, BANNER_END)
    start = (255, 255, 255)
    for x in range(360):
        t = x / 359.0
        colour = tuple(int(round(start[i] + (BANNER_END[i] - start[i]) * t)) for i in range(3))
        c.rect(x, 0, x + 1, 50, colour)
    c.rect(0, 47, 520, 50, (200, 210, 228))   # a soft line above the banner's sunken edge
    return c


def banner_logo():
    c = Canvas(128, 42, BANNER_END)
    x = c.text(4, 7, 'RUK', 4, NAVY)
    c.rect(x + 2, 6, x + 4, 36, RED)                              # a bar between the names
    c.text(x + 8, 6, 'LEX', 2, NAVY)
    c.text(x + 8, 22, 'MILL', 2, NAVY)
    return c


def badge(size, alpha):
    """The maker picture: a navy disc with the maker's initials. With alpha the corners are clear
    and the edge is smoothed; without, the disc stands on the dialog's face colour."""
    face = (240, 240, 240)
    c = Canvas(size, size, face + ((0,) if alpha else ()))
    centre, radius = size / 2.0, size / 2.0 - 4
    for y in range(size):
        for x in range(size):
            hits = 0
            for sy in (0.25, 0.75):
                for sx in (0.25, 0.75):
                    if (x + sx - centre) ** 2 + (y + sy - centre) ** 2 <= radius ** 2:
                        hits += 1
            if hits == 0:
                continue
            shade = int(40 * (y / size))
            colour = (NAVY[0] + shade // 2, NAVY[1] + shade, NAVY[2] + shade)
            if alpha:
                c.put(x, y, colour + (hits * 255 // 4,))
            elif hits >= 2:
                c.put(x, y, colour)
    white = (255, 255, 255) + ((255,) if alpha else ())
    scale = max(1, size // 32)
    width = Canvas.text_width('RUK', scale)
    c.text(int(centre - width / 2), int(centre - 3.5 * scale) - scale, 'RUK', scale, white)
    red = RED + ((255,) if alpha else ())
    c.rect(int(centre - width / 2), int(centre + 4.5 * scale), int(centre + width / 2), int(centre + 5.5 * scale), red)
    return c


here = os.path.dirname(os.path.abspath(__file__))
write_bmp(os.path.join(here, 'RUKVERINFOBANNERLOGO01R96CD24.bmp'), banner_logo(), 24)
write_bmp(os.path.join(here, 'RUKVERINFOBANNERBACKGROUND.bmp'), banner_background(), 24)
write_bmp(os.path.join(here, 'RUKLOGOBUTTON01S128CD24.bmp'), badge(128, False), 24)
write_bmp(os.path.join(here, 'RUKLOGOBUTTON01S128CD32.bmp'), badge(128, True), 32)
