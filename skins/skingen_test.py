#!/usr/bin/env python3
"""The skin generator writes the same bytes at every run, quickly, in the
formats the programs read: 24-bit BI_RGB BMPs and a GBK skin.ini without BOM."""
import os
import struct
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SKINGEN = os.path.join(HERE, 'skingen.py')


def generate(skin, out):
    start = time.time()
    subprocess.run([sys.executable, SKINGEN, skin, out], check=True)
    return time.time() - start


class SkinGenTest(unittest.TestCase):
    def test_elegance_is_deterministic_fast_and_well_formed(self):
        with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
            seconds = generate('elegance', a)
            generate('elegance', b)
            self.assertLess(seconds, 30.0)   # a couple of seconds on an idle machine
            names = sorted(os.listdir(a))
            listed = subprocess.run([sys.executable, SKINGEN, '--list', 'elegance'], check=True,
                                    capture_output=True, text=True).stdout.split()
            self.assertEqual(sorted(listed), names)
            for name in names:
                with open(os.path.join(a, name), 'rb') as fa, open(os.path.join(b, name), 'rb') as fb:
                    data = fa.read()
                    self.assertEqual(data, fb.read(), name)
                if name.endswith('.bmp'):
                    magic, size, offset = struct.unpack_from('<2sI4xI', data, 0)
                    w, h, planes, bits, compression = struct.unpack_from('<iiHHI', data, 18)
                    self.assertEqual((magic, size, offset), (b'BM', len(data), 54), name)
                    self.assertEqual((planes, bits, compression), (1, 24, 0), name)
                    self.assertEqual(len(data), 54 + ((w * 3 + 3) & ~3) * h, name)
            with open(os.path.join(a, 'skin.ini'), 'rb') as f:
                ini = f.read()
            self.assertFalse(ini.startswith(b'\xef\xbb\xbf'))
            self.assertIn('电视'.encode('gbk'), ini)
            ini.decode('gbk')

    def test_sleekform_names_only_files_it_writes(self):
        with tempfile.TemporaryDirectory() as a:
            generate('sleekform', a)
            with open(os.path.join(a, 'theme.ini'), 'rb') as f:
                ini = f.read().decode('ascii')
            images = [line.split('=', 1)[1] for line in ini.splitlines()
                      if line.split('=', 1)[0] in ('DialogBmp', 'Top', 'Bottom', 'Left', 'Right',
                                                   'ButtonImage')]
            self.assertEqual(7, len(images))
            for name in images:
                self.assertTrue(os.path.exists(os.path.join(a, name)), name)
            with open(os.path.join(a, 'bottom.jpg'), 'rb') as f:
                jpg = f.read()
            self.assertEqual(b'\xff\xd8', jpg[:2])
            self.assertEqual(b'\xff\xd9', jpg[-2:])


def gif_pixels(data):
    """Decodes our GIFs (one image, global table, 8-bit codes): LZW in full."""
    w, h = struct.unpack_from('<HH', data, 6)
    table = data[13:13 + 768]
    pos = 13 + 768 + 10
    min_size = data[pos]
    pos += 1
    stream = bytearray()
    while data[pos]:
        stream += data[pos + 1:pos + 1 + data[pos]]
        pos += 1 + data[pos]
    clear, end = 1 << min_size, (1 << min_size) + 1
    bits = int.from_bytes(stream, 'little')
    at, width, out, prev = 0, min_size + 1, [], None
    codes = {}
    while True:
        code = (bits >> at) & ((1 << width) - 1)
        at += width
        if code == clear:
            codes = {i: [i] for i in range(clear)}
            width, prev = min_size + 1, None
            continue
        if code == end:
            break
        entry = codes[code] if code in codes else prev + [prev[0]]
        out += entry
        if prev is not None:
            codes[len(codes) + 2] = prev + [entry[0]]
            if len(codes) + 2 == (1 << width) and width < 12:
                width += 1
        prev = entry
    return w, h, [tuple(table[i * 3:i * 3 + 3]) for i in out]


class EncoderTest(unittest.TestCase):
    def test_gif_keeps_every_pixel_across_clear_codes(self):
        sys.path.insert(0, HERE)
        from skinlib.canvas import Canvas
        from skinlib.encoders import gif
        c = Canvas(37, 23)
        for y in range(23):
            for x in range(37):
                c.set(x, y, ((x * 7) % 256, (y % 6) * 40, 0))
        w, h, pixels = gif_pixels(gif(c))
        self.assertEqual((37, 23), (w, h))
        self.assertEqual([c.get(x, y) for y in range(23) for x in range(37)], pixels)


if __name__ == '__main__':
    unittest.main()
