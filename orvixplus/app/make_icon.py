#!/usr/bin/env python3
"""Draws OrvixPlus.ico (a small TV set, 16x16 and 32x32, 32-bit with alpha).

The icon is committed; run this only to change it:
    python3 make_icon.py OrvixPlus.ico
"""
import struct
import sys


def draw(size):
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    def line(x0, y0, x1, y1, colour):
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * s) + 1
        for i in range(steps + 1):
            t = i / steps
            x = int((x0 + (x1 - x0) * t) * s)
            y = int((y0 + (y1 - y0) * t) * s)
            if 0 <= x < size and 0 <= y < size:
                px[y][x] = colour

    dark = (40, 40, 48, 255)
    # Antenna, cabinet, screen with a bright band, stand.
    line(16, 9, 9, 1, dark)
    line(16, 9, 23, 1, dark)
    rect(2, 8, 30, 27, dark)
    for y in range(int(10 * s), int(25 * s)):
        shade = int(90 + 120 * (y - 10 * s) / (15 * s))
        for x in range(int(4 * s), int(25 * s)):
            px[y][x] = (shade // 3, shade // 2 + 40, 255, 255)
    rect(4, 13, 25, 15, (230, 240, 255, 255))
    rect(26, 11, 29, 14, (220, 60, 50, 255))
    rect(26, 16, 29, 19, (90, 200, 90, 255))
    rect(8, 27, 12, 30, dark)
    rect(20, 27, 24, 30, dark)
    return px


def icon_image(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(struct.pack('BBBB', b, g, r, a)
                   for row in reversed(px) for (r, g, b, a) in row)
    row_bytes = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(px):
        out = bytearray(row_bytes)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                out[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(out)
    return header + xor + mask


def main(path):
    sizes = [32, 16]
    images = [icon_image(n) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, img in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        out += img
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'OrvixPlus.ico')
