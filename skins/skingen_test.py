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


if __name__ == '__main__':
    unittest.main()
