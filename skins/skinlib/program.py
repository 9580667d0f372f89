# -*- coding: utf-8 -*-
"""OrvixPlus's own bitmap resources (129 - 170): the pieces of the channel
list's cells, header and skinned scroll bars, and the settings window's page
background, tabs, track bars, move buttons and control images. Each piece is one flat face
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


MAGENTA = (255, 0, 255)

# The settings window's panel: 440 x 440, the tab row on top.
PANEL_W, PANEL_H = 440, 440
TAB_ROW = 23
TABS = [(0, 55), (55, 110), (110, 165), (165, 220), (220, 285)]
PAGE_FACE = (236, 242, 248)        # page background (cut from 144)
TAB_SELECTED = (250, 252, 255)     # a tab as 144 shows it: selected
TAB_NORMAL = (178, 198, 222)       # a tab as 148 shows it
TAB_EDGE = (64, 110, 170)

# The control sheet (165): rectangles shared with SettingsArt.h.
SHEET = {
    'combo_button': [(0, 0, 18, 20), (18, 0, 36, 20), (36, 0, 54, 20), (54, 0, 72, 20)],
    'combo_frame_focus': (72, 0, 92, 20),
    'combo_frame': (92, 0, 112, 20),
    'combo_selection': (112, 0, 132, 20),
    'label_frame': (132, 0, 152, 20),
    'group_frame': (152, 0, 182, 30),
    'group_caption': (182, 0, 212, 20),
}
COMBO_BUTTON = [(160, 180, 210), (196, 214, 236), (96, 126, 170), (200, 200, 200)]
COMBO_FRAME_FOCUS = (40, 90, 170)
COMBO_FRAME = (130, 150, 180)
COMBO_SELECTION = (206, 226, 246)
WHITE = (255, 255, 255)
GROUP_FRAME = (120, 150, 190)
GROUP_CAPTION = (236, 242, 248)
LABEL_FRAME = (150, 170, 200)


def tab_shape(c, l, r, face):
    """A tab with cut top corners; the corners are magenta (transparent)."""
    c.fill_rect(l, 0, r, TAB_ROW, face)
    for i in range(3):
        c.fill_rect(l, i, l + 3 - i, i + 1, MAGENTA)
        c.fill_rect(r - 3 + i, i, r, i + 1, MAGENTA)
    c.fill_rect(l + 3, 0, r - 3, 1, TAB_EDGE)


def panel_background():
    c = Canvas(PANEL_W, PANEL_H, PAGE_FACE)
    c.fill_rect(0, 0, PANEL_W, TAB_ROW, MAGENTA)
    for l, r in TABS:
        tab_shape(c, l, r, TAB_SELECTED)
    return c


def tab_strip():
    c = Canvas(TABS[-1][1], TAB_ROW, MAGENTA)
    for l, r in TABS:
        tab_shape(c, l, r, TAB_NORMAL)
    return c


def track_channel():
    """150 x 25, a groove on magenta."""
    c = Canvas(150, 25, MAGENTA)
    c.fill_rect(4, 10, 146, 15, (120, 140, 170))
    c.fill_rect(5, 11, 145, 14, (230, 236, 244))
    return c


def track_thumb():
    c = Canvas(11, 21, (70, 110, 180))
    c.fill_rect(1, 1, 10, 20, (150, 180, 220))
    return c


# Move buttons (164): rows top, up, down, bottom; states normal, hover,
# pressed, disabled.
MOVE_STATES = [(200, 214, 232), (226, 236, 248), (120, 150, 190), (210, 210, 210)]
MOVE_GLYPHS = [
    [[(4, 9), (11, 3), (18, 9)], [(4, 12), (18, 12), (18, 15), (4, 15)]],   # to top: bar + arrow
    [[(4, 14), (11, 7), (18, 14)]],
    [[(4, 8), (18, 8), (11, 15)]],
    [[(4, 10), (18, 10), (11, 16)], [(4, 6), (18, 6), (18, 9), (4, 9)]],
]


def move_buttons():
    c = Canvas(88, 88, MOVE_STATES[0])
    for row, glyphs in enumerate(MOVE_GLYPHS):
        for col, face in enumerate(MOVE_STATES):
            x, y = 22 * col, 22 * row
            c.fill_rect(x, y, x + 22, y + 22, TAB_EDGE)
            c.fill_rect(x + 1, y + 1, x + 21, y + 21, face)
            glyph = (150, 150, 150) if col == 3 else (30, 50, 90)
            for g in glyphs:
                c.paint(polygon([(x + px, y + py) for px, py in g]), (x, y, x + 22, y + 22), glyph, aa=False)
    return c


def framed(c, box, edge, inside, border=1):
    l, t, r, b = box
    c.fill_rect(l, t, r, b, edge)
    c.fill_rect(l + border, t + border, r - border, b - border, inside)


def control_sheet():
    c = Canvas(212, 34, MAGENTA)
    for box, face in zip(SHEET['combo_button'], COMBO_BUTTON):
        framed(c, box, COMBO_FRAME, face)
        l, t, r, b = box
        c.paint(polygon([(l + 5, t + 8), (l + 13, t + 8), (l + 9, t + 13)]), box, (30, 50, 90), aa=False)
    framed(c, SHEET['combo_frame_focus'], COMBO_FRAME_FOCUS, WHITE)
    framed(c, SHEET['combo_frame'], COMBO_FRAME, WHITE)
    c.fill_rect(*SHEET['combo_selection'], COMBO_SELECTION)
    framed(c, SHEET['label_frame'], LABEL_FRAME, WHITE)
    framed(c, SHEET['group_frame'], GROUP_FRAME, PAGE_FACE)
    framed(c, SHEET['group_caption'], GROUP_FRAME, GROUP_CAPTION)
    return c


def two_state(off_face, on_face, mark):
    """28 x 14: off at 0..14, on at 14..28."""
    c = Canvas(28, 14, (90, 110, 140))
    c.fill_rect(1, 1, 13, 13, off_face)
    c.fill_rect(15, 1, 27, 13, on_face)
    c.fill_rect(18, 4, 24, 10, mark)
    return c


PAGES = {
    144: ('pageback.bmp', panel_background),
    145: ('trackchannel.bmp', track_channel),
    146: ('trackthumb.bmp', track_thumb),
    148: ('tabstrip.bmp', tab_strip),
    164: ('movebuttons.bmp', move_buttons),
    165: ('controlsheet.bmp', control_sheet),
    166: ('toggle.bmp', lambda: two_state((240, 240, 240), (120, 200, 120), (20, 110, 30))),
    167: ('check.bmp', lambda: two_state(WHITE, WHITE, (40, 90, 170))),
}


def files():
    """File name -> function making its bytes."""
    out = {PIECES[rid][0]: (lambda rid=rid: draw(rid).bmp()) for rid in PIECES}
    out.update({name: (lambda make=make: make().bmp()) for name, make in PAGES.values()})
    return out
