#!/usr/bin/env python3
"""Draws Timewarden's icons: a clock face (dialog icon) and the same clock
with a red recording dot (tray icon), 16x16 and 32x32, 32-bit with alpha.

The icons are committed; run this only to change them:
    python3 make_icons.py
"""
import math
import struct


def clock(size, dot):
    c = (size - 1) / 2.0
    r = size / 2.0 - 0.5
    pixels = {}
    for y in range(size):
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if d > r:
                continue
            rim = d > r - max(1.5, size / 12.0)
            pixels[x, y] = (30, 60, 140, 255) if rim else (245, 245, 250, 255)
    hands = [(0.0, 0.75), (math.pi * 2 / 3, 0.5)]  # minute hand to 12, hour hand to 4
    for angle, length in hands:
        for i in range(int(r * length * 4)):
            t = i / 4.0
            x = int(round(c + math.sin(angle) * t))
            y = int(round(c - math.cos(angle) * t))
            pixels[x, y] = (20, 20, 30, 255)
    if dot:
        dr = size / 5.0
        for y in range(size):
            for x in range(size):
                if math.hypot(x - (size - 1 - dr), y - (size - 1 - dr)) <= dr:
                    pixels[x, y] = (220, 40, 40, 255)
    return pixels


def dib(size, pixels):
    head = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    stride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        bits = bytearray(stride)
        for x in range(size):
            r, g, b, a = pixels.get((x, y), (0, 0, 0, 0))
            colour += bytes((b, g, r, a))
            if not a:
                bits[x >> 3] |= 1 << (7 - (x & 7))
        mask += bits
    return head + bytes(colour) + bytes(mask)


def write_icon(path, dot):
    images = [(n, dib(n, clock(n, dot))) for n in (32, 16)]
    entries = b''
    offset = 6 + 16 * len(images)
    for n, data in images:
        entries += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 1, len(images)) + entries + b''.join(d for _, d in images))


if __name__ == '__main__':
    write_icon('Timewarden.ico', dot=False)
    write_icon('TimewardenTray.ico', dot=True)
