# -*- coding: utf-8 -*-
"""The program's own control bitmaps (resources compiled into OrvixPlus and
the tests that link the same resource script): hover buttons, the list
header and the list's scroll bars. Each piece has flat colours of its own, so
a test can tell from a pixel which piece was drawn where."""
from .canvas import Canvas, polygon

BAR = 16                       # both scroll bars are 16 pixels thick
EDGE = (60, 72, 90)


def piece(w, h, fill, edge=EDGE):
    """A flat box with a one-pixel edge of its own colour."""
    c = Canvas(w, h, edge)
    c.fill_rect(1, 1, w - 1, h - 1, fill)
    return c


def flat(w, h, fill):
    return Canvas(w, h, fill)


def arrow(direction, fill, ink):
    """A bar arrow: a box with a triangle pointing up, down, left or right."""
    c = piece(BAR, BAR, fill)
    m, lo, hi = BAR / 2.0, 4.5, BAR - 4.5
    points = {'up': [(m, lo), (hi, hi - 2), (lo, hi - 2)],
              'down': [(lo, lo + 2), (hi, lo + 2), (m, hi)],
              'left': [(lo, m), (hi - 2, lo), (hi - 2, hi)],
              'right': [(lo + 2, lo), (hi, m), (lo + 2, hi)]}[direction]
    c.paint(polygon(points), (0, 0, BAR, BAR), ink, aa=False)
    return c


# Hover button faces (75 x 25, the schedule window's button size).
BUTTON = {'normal': (206, 218, 232), 'hover': (232, 240, 250), 'pressed': (150, 170, 200)}
HEADER = {'left': (120, 140, 170), 'middle': (170, 186, 210), 'right': (96, 112, 140)}


def table():
    """Resource id -> function making the picture."""
    return {
        # Header pieces: right, middle tile, left.
        131: lambda: piece(6, 20, HEADER['right']),
        132: lambda: flat(4, 20, HEADER['middle']),
        133: lambda: piece(6, 20, HEADER['left']),
        # Hover buttons: pressed, normal, hover.
        134: lambda: piece(75, 25, BUTTON['pressed']),
        141: lambda: piece(75, 25, BUTTON['normal']),
        142: lambda: piece(75, 25, BUTTON['hover']),
        # Horizontal bar: left and right arrows, track tile, thumb.
        151: lambda: arrow('left', (200, 210, 224), (40, 50, 70)),
        152: lambda: arrow('right', (196, 206, 222), (40, 50, 70)),
        153: lambda: flat(8, BAR, (226, 230, 236)),
        159: lambda: piece(24, BAR, (120, 150, 200)),
        # Vertical bar: up and down arrows, track tile, thumb, bottom piece.
        154: lambda: arrow('up', (204, 212, 226), (40, 50, 70)),
        157: lambda: arrow('down', (192, 202, 218), (40, 50, 70)),
        156: lambda: flat(BAR, 8, (224, 228, 234)),
        155: lambda: piece(BAR, 24, (116, 146, 196)),
        158: lambda: piece(BAR, BAR, (180, 188, 200)),
    }


def files():
    """File name -> function making its bytes."""
    return {'bitmap%d.bmp' % rid: (lambda make=make: make().bmp()) for rid, make in table().items()}
