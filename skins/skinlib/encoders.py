# -*- coding: utf-8 -*-
"""GIF and baseline JPEG files from a Canvas, for skins that name such images.

GIF: up to 256 colours, LZW with a clear code often enough that every code
stays 9 bits wide (lossless). JPEG: 4:4:4 YCbCr, every quantiser 1, Huffman
tables of our own (every symbol its fixed-length code), so the colours come
back within a level or so.
"""
import math
import struct


def gif(canvas):
    colours = {}
    indices = bytearray()
    for i in range(0, len(canvas.px), 3):
        c = bytes(canvas.px[i:i + 3])
        if c not in colours:
            if len(colours) == 256:
                raise ValueError('more than 256 colours for a GIF')
            colours[c] = len(colours)
        indices.append(colours[c])
    table = b''.join(sorted(colours, key=colours.get))
    table += b'\0' * (768 - len(table))
    out = bytearray(b'GIF89a')
    out += struct.pack('<HHBBB', canvas.w, canvas.h, 0xF7, 0, 0)   # 256-entry global table
    out += table
    out += struct.pack('<BHHHHB', 0x2C, 0, 0, canvas.w, canvas.h, 0)
    out.append(8)                                                  # minimum code size
    codes = []
    clear, end = 256, 257
    for n, index in enumerate(indices):
        if n % 128 == 0:
            codes.append(clear)
        codes.append(index)
    codes.append(end)
    bits = bytearray()
    acc = nbits = 0
    for code in codes:
        acc |= code << nbits
        nbits += 9
        while nbits >= 8:
            bits.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8
    if nbits:
        bits.append(acc & 0xFF)
    for i in range(0, len(bits), 255):
        block = bits[i:i + 255]
        out.append(len(block))
        out += block
    out += b'\0;'
    return bytes(out)


ZIGZAG = [
    0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5,
    12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6, 7, 14, 21, 28,
    35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
    58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63]

COS = [[math.cos((2 * x + 1) * u * math.pi / 16) for x in range(8)] for u in range(8)]
SCALE = [math.sqrt(0.5) if u == 0 else 1.0 for u in range(8)]

DC_SYMBOLS = list(range(12))
AC_SYMBOLS = [0x00, 0xF0] + [(r << 4) | s for r in range(16) for s in range(1, 11)]


def _fixed_table(symbols, length):
    """Every symbol a code of the same length, in order (never all ones)."""
    return {s: (i, length) for i, s in enumerate(symbols)}


def _dht(cls, ident, symbols, length):
    counts = [0] * 16
    counts[length - 1] = len(symbols)
    body = bytes([(cls << 4) | ident]) + bytes(counts) + bytes(symbols)
    return b'\xFF\xC4' + struct.pack('>H', len(body) + 2) + body


def _fdct(block):
    tmp = [[sum(block[y * 8 + x] * COS[u][x] for x in range(8)) for u in range(8)] for y in range(8)]
    out = [0] * 64
    for v in range(8):
        for u in range(8):
            s = sum(tmp[y][u] * COS[v][y] for y in range(8))
            out[v * 8 + u] = int(round(s * SCALE[u] * SCALE[v] / 4))
    return out


def _category(value):
    return 0 if value == 0 else abs(value).bit_length()


class _Bits:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def put(self, code, length):
        for i in range(length - 1, -1, -1):
            self.acc = (self.acc << 1) | ((code >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0)
                self.acc = self.n = 0

    def value(self, v, size):
        if size:
            self.put(v if v >= 0 else v + (1 << size) - 1, size)

    def flush(self):
        while self.n:
            self.put(1, 1)
        return bytes(self.out)


def jpeg(canvas):
    w, h = canvas.w, canvas.h
    planes = ([], [], [])
    for i in range(0, len(canvas.px), 3):
        r, g, b = canvas.px[i], canvas.px[i + 1], canvas.px[i + 2]
        planes[0].append(0.299 * r + 0.587 * g + 0.114 * b - 128)
        planes[1].append(-0.168736 * r - 0.331264 * g + 0.5 * b)
        planes[2].append(0.5 * r - 0.418688 * g - 0.081312 * b)
    dc_table = _fixed_table(DC_SYMBOLS, 4)
    ac_table = _fixed_table(AC_SYMBOLS, 8)
    bits = _Bits()
    previous = [0, 0, 0]
    for by in range(0, h, 8):
        for bx in range(0, w, 8):
            for c in range(3):
                block = [planes[c][min(by + y, h - 1) * w + min(bx + x, w - 1)]
                         for y in range(8) for x in range(8)]
                coeffs = _fdct(block)
                zz = [coeffs[ZIGZAG[k]] for k in range(64)]
                diff = zz[0] - previous[c]
                previous[c] = zz[0]
                size = _category(diff)
                bits.put(*dc_table[size])
                bits.value(diff, size)
                run = 0
                for k in range(1, 64):
                    if zz[k] == 0:
                        run += 1
                        continue
                    while run > 15:
                        bits.put(*ac_table[0xF0])
                        run -= 16
                    size = _category(zz[k])
                    bits.put(*ac_table[(run << 4) | size])
                    bits.value(zz[k], size)
                    run = 0
                if run:
                    bits.put(*ac_table[0x00])
    out = bytearray(b'\xFF\xD8')
    out += b'\xFF\xE0' + struct.pack('>H5sBBBHHBB', 16, b'JFIF\0', 1, 1, 0, 1, 1, 0, 0)
    out += b'\xFF\xDB' + struct.pack('>HB', 67, 0) + bytes([1] * 64)
    out += b'\xFF\xC0' + struct.pack('>HBHHB', 17, 8, h, w, 3)
    for ident in (1, 2, 3):
        out += bytes([ident, 0x11, 0])
    out += _dht(0, 0, DC_SYMBOLS, 4) + _dht(1, 0, AC_SYMBOLS, 8)
    out += b'\xFF\xDA' + struct.pack('>HB', 12, 3)
    for ident in (1, 2, 3):
        out += bytes([ident, 0x00])
    out += bytes([0, 63, 0])
    out += bits.flush()
    out += b'\xFF\xD9'
    return bytes(out)
