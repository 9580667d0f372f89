# -*- coding: utf-8 -*-
"""OrvixPlus's own bitmap resources (129 - 159): the pieces of the channel
list's cells, header and skinned scroll bars. Each piece is one flat face
colour (arrows carry a glyph in a second colour) so that a drawing can be
told apart piece by piece on the screen."""
from .canvas import Canvas, polygon

# Resource id -> (file name, width, height, face colour).
PIECES = {
    129: ('cellback.bmp', 54, 19, (236, 244, 250)),    # cell background, 3,3,51,16 used
    131: ('headright.bmp', 3, 20, (96, 122, 150)),     # header: right end
    132: ('headtile.bmp', 8, 20, (176, 198, 220)),     # header: middle tile
    133: ('headleft.bmp', 3, 20, (90, 116, 144)),      # header: left end
    134: ('hoverdown.bmp', 60, 22, (120, 150, 190)),   # hover button pressed
    141: ('hovernormal.bmp', 60, 22, (200, 214, 232)),  # hover button at rest
    142: ('hoverhot.bmp', 60, 22, (226, 236, 248)),     # hover button hovered
    135: ('cellframe.bmp', 54, 54, (64, 110, 170)),    # cell frame, borders 3
    151: ('sbleft.bmp', 16, 16, (150, 60, 60)),        # horizontal bar: left arrow
    152: ('sbright.bmp', 16, 16, (60, 150, 60)),       # right arrow
    153: ('sbhtrack.bmp', 8, 16, (210, 210, 200)),     # horizontal track tile
    159: ('sbhthumb.bmp', 32, 16, (60, 60, 170)),      # horizontal thumb
    154: ('sbup.bmp', 16, 16, (170, 80, 40)),          # vertical bar: up arrow
    157: ('sbdown.bmp', 16, 16, (40, 120, 160)),       # down arrow
    156: ('sbvtrack.bmp', 16, 8, (200, 206, 214)),     # vertical track tile
    155: ('sbvthumb.bmp', 16, 32, (90, 40, 140)),      # vertical thumb
    158: ('sbcorner.bmp', 16, 16, (128, 128, 96)),     # bottom piece and corner box
}

GLYPH = (250, 250, 240)
FRAME_INSIDE = (250, 252, 255)
FRAME_BORDER = 3

# Arrow glyphs as clockwise triangles in a 16 x 16 box.
ARROWS = {
    151: [(5, 8), (10, 4), (10, 12)],
    152: [(11, 8), (6, 12), (6, 4)],
    154: [(8, 5), (12, 10), (4, 10)],
    157: [(8, 11), (4, 6), (12, 6)],
}


def draw(rid):
    name, w, h, face = PIECES[rid]
    c = Canvas(w, h, face)
    if rid == 135:
        b = FRAME_BORDER
        c.fill_rect(b, b, w - b, h - b, FRAME_INSIDE)
    if rid in ARROWS:
        c.paint(polygon(ARROWS[rid]), (0, 0, w, h), GLYPH, aa=False)
    return c


def files():
    """File name -> function making its bytes."""
    return {PIECES[rid][0]: (lambda rid=rid: draw(rid).bmp()) for rid in PIECES}
