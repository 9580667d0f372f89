"""Drawing for the skin generator: an RGB canvas, shapes given by signed
distance functions (negative inside), a 5 x 7 pixel font, and writers for
24-bit BMP files and monochrome cursors.

Only integer and plain float arithmetic is used, so every run writes the same
bytes. Shapes are painted over their bounding box only, which keeps the whole
generator within a second or two in pure Python.
"""
import math
import struct


def clamp01(v):
    return 0.0 if v < 0.0 else (1.0 if v > 1.0 else v)


def mix(a, b, t):
    """Colour between a (t = 0) and b (t = 1)."""
    return (int(a[0] + (b[0] - a[0]) * t + 0.5),
            int(a[1] + (b[1] - a[1]) * t + 0.5),
            int(a[2] + (b[2] - a[2]) * t + 0.5))


# --- signed distance functions --------------------------------------------
# Each returns f(x, y) -> distance from the shape's edge, negative inside.
# Coordinates are those of pixel centres (x + 0.5, y + 0.5).

def rounded_box(l, t, r, b, radius):
    cx, cy = (l + r) / 2.0, (t + b) / 2.0
    hx, hy = (r - l) / 2.0 - radius, (b - t) / 2.0 - radius

    def f(x, y):
        qx = abs(x - cx) - hx
        qy = abs(y - cy) - hy
        ox = qx if qx > 0 else 0.0
        oy = qy if qy > 0 else 0.0
        inner = qx if qx > qy else qy
        return math.sqrt(ox * ox + oy * oy) + (inner if inner < 0 else 0.0) - radius
    return f


def circle(cx, cy, radius):
    def f(x, y):
        dx, dy = x - cx, y - cy
        return math.sqrt(dx * dx + dy * dy) - radius
    return f


def ellipse(cx, cy, rx, ry):
    # Not a true distance, close enough for one-pixel edges.
    def f(x, y):
        dx, dy = (x - cx) / rx, (y - cy) / ry
        return (math.sqrt(dx * dx + dy * dy) - 1.0) * min(rx, ry)
    return f


def segment(x0, y0, x1, y1, width):
    """A stroke of the given width with round ends."""
    vx, vy = x1 - x0, y1 - y0
    ll = vx * vx + vy * vy or 1.0
    half = width / 2.0

    def f(x, y):
        px, py = x - x0, y - y0
        t = (px * vx + py * vy) / ll
        t = 0.0 if t < 0 else (1.0 if t > 1 else t)
        dx, dy = px - vx * t, py - vy * t
        return math.sqrt(dx * dx + dy * dy) - half
    return f


def polygon(points):
    """A convex polygon, points clockwise on screen (y down)."""
    edges = []
    n = len(points)
    for i in range(n):
        ax, ay = points[i]
        bx, by = points[(i + 1) % n]
        ex, ey = bx - ax, by - ay
        ln = math.sqrt(ex * ex + ey * ey)
        # Outward normal of a clockwise edge when y points down.
        edges.append((ax, ay, ey / ln, -ex / ln))

    def f(x, y):
        d = -1e9
        for ax, ay, nx, ny in edges:
            v = (x - ax) * nx + (y - ay) * ny
            if v > d:
                d = v
        return d
    return f


def ring(shape, width):
    half = width / 2.0
    return lambda x, y: abs(shape(x, y) + half) - half


def union(*shapes):
    def f(x, y):
        return min(s(x, y) for s in shapes)
    return f


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def offset(shape, dx, dy):
    return lambda x, y: shape(x - dx, y - dy)


# --- pixel font --------------------------------------------------------------
# Five columns by seven rows; '#' is ink.
FONT = {
    '0': [" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "],
    '1': ["  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    '2': [" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"],
    '3': ["#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "],
    '4': ["   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "],
    '5': ["#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "],
    '6': ["  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "],
    '7': ["#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "],
    '8': [" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "],
    '9': [" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "],
    'A': [" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    'F': ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "],
    'I': [" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    'M': ["#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"],
    'O': [" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    'R': ["#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"],
    'S': [" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "],
    'T': ["#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "],
    'V': ["#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "],
    'X': ["#   #", "#   #", " # # ", "  #  ", " # # ", "#   #", "#   #"],
}


def text_size(text, scale):
    if not text:
        return 0, 0
    return (len(text) * 6 - 1) * scale, 7 * scale


class Canvas:
    """Pixels in rows top to bottom, three bytes R, G, B each."""

    def __init__(self, width, height, fill=(0, 0, 0)):
        self.w, self.h = width, height
        self.px = bytearray(bytes(fill) * (width * height))

    def get(self, x, y):
        i = (y * self.w + x) * 3
        return tuple(self.px[i:i + 3])

    def set(self, x, y, c):
        i = (y * self.w + x) * 3
        self.px[i:i + 3] = bytes(c)

    def fill_rect(self, l, t, r, b, c):
        row = bytes(c) * (r - l)
        for y in range(t, b):
            i = (y * self.w + l) * 3
            self.px[i:i + len(row)] = row

    def paint(self, shape, box, colour, aa=True):
        """Fills shape inside box (l, t, r, b). colour is one colour or a
        function of the row giving one. With aa the edge pixels are blended by
        their coverage; without, a pixel is in when its centre is inside."""
        l, t, r, b = box
        l, t = max(0, l), max(0, t)
        r, b = min(self.w, r), min(self.h, b)
        px, w = self.px, self.w
        for y in range(t, b):
            c = colour(y) if callable(colour) else colour
            cr, cg, cb = c
            fy = y + 0.5
            i = (y * w + l) * 3
            for x in range(l, r):
                d = shape(x + 0.5, fy)
                if aa:
                    a = 0.5 - d
                    if a >= 1.0:
                        px[i] = cr; px[i + 1] = cg; px[i + 2] = cb
                    elif a > 0.0:
                        px[i] = int(px[i] + (cr - px[i]) * a + 0.5)
                        px[i + 1] = int(px[i + 1] + (cg - px[i + 1]) * a + 0.5)
                        px[i + 2] = int(px[i + 2] + (cb - px[i + 2]) * a + 0.5)
                elif d < 0.0:
                    px[i] = cr; px[i + 1] = cg; px[i + 2] = cb
                i += 3

    def text(self, text, x, y, scale, colour):
        """Pixel-font text, top-left at (x, y); never anti-aliased."""
        for ch in text:
            rows = FONT[ch]
            for ry, line in enumerate(rows):
                for rx, cell in enumerate(line):
                    if cell == '#':
                        self.fill_rect(x + rx * scale, y + ry * scale,
                                       x + (rx + 1) * scale, y + (ry + 1) * scale, colour)
            x += 6 * scale

    def text_centred(self, text, box, scale, colour, dx=0, dy=0):
        tw, th = text_size(text, scale)
        l, t, r, b = box
        self.text(text, l + (r - l - tw) // 2 + dx, t + (b - t - th) // 2 + dy, scale, colour)

    def crop(self, l, t, r, b):
        out = Canvas(r - l, b - t)
        for y in range(t, b):
            s = (y * self.w + l) * 3
            d = (y - t) * out.w * 3
            out.px[d:d + out.w * 3] = self.px[s:s + out.w * 3]
        return out

    def blit(self, src, x, y):
        for sy in range(src.h):
            s = sy * src.w * 3
            d = ((y + sy) * self.w + x) * 3
            self.px[d:d + src.w * 3] = src.px[s:s + src.w * 3]

    def bmp(self):
        """A 24-bit BI_RGB BMP file, bottom-up rows padded to four bytes."""
        stride = (self.w * 3 + 3) & ~3
        pad = b'\0' * (stride - self.w * 3)
        rows = []
        for y in range(self.h - 1, -1, -1):
            line = bytearray(self.px[y * self.w * 3:(y + 1) * self.w * 3])
            line[0::3], line[2::3] = line[2::3], line[0::3]   # RGB -> BGR
            rows.append(bytes(line) + pad)
        bits = b''.join(rows)
        header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(bits), 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, self.w, self.h, 1, 24, 0, len(bits),
                           2835, 2835, 0, 0)
        return header + info + bits


def cursor_file(art, hotspot):
    """A 32 x 32 monochrome .cur from ASCII art: '#' black, '.' white, other
    characters transparent."""
    size = 32
    xor_rows, and_rows = [], []
    for y in range(size - 1, -1, -1):
        line = art[y] if y < len(art) else ''
        xor_bits = and_bits = 0
        for x in range(size):
            ch = line[x] if x < len(line) else ' '
            xor_bits <<= 1
            and_bits <<= 1
            if ch == '.':
                xor_bits |= 1
            elif ch != '#':
                and_bits |= 1
        xor_rows.append(struct.pack('>I', xor_bits))
        and_rows.append(struct.pack('>I', and_bits))
    palette = struct.pack('<II', 0x000000, 0xFFFFFF)
    image = (struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, size * 8, 0, 0, 2, 0)
             + palette + b''.join(xor_rows) + b''.join(and_rows))
    head = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', size, size, 2, 0, hotspot[0], hotspot[1],
                        len(image), 6 + 16)
    return head + entry + image
