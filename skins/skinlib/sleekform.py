# -*- coding: utf-8 -*-
"""Timewarden's looks: the "Sleekform" theme of its dialog frame
(skin/Sleekform/theme.ini with its images) and the bitmaps its resources
carry (buttons, hex field background, list scroll bars and header).

The frame's numbers live in THEME; theme.ini and the images are made from it.
Top's corners are the key colour (the caption is shaped with UsesTran); one
border is a JPEG and one a GIF, the key-coloured ones stay lossless BMPs.
"""
from .canvas import Canvas, mix, polygon
from .encoders import gif, jpeg

KEY = (255, 0, 255)

THEME = {
    'band': 26, 'top_w': 160, 'top_left': 40, 'top_right': 40,
    'side': 4, 'side_h': 40, 'side_top': 8, 'side_bot': 8,
    'bottom': 8, 'bottom_w': 64, 'bottom_left': 8, 'bottom_right': 8,
    'button': (16, 14),
    # (image, action, XCoord, YCoord)
    'buttons': [('close.bmp', 0, 6, 6), ('minimize.bmp', 2, 24, 6)],
    'text_shift': 26, 'text_shift_vert': 0,
}

COLOURS = [
    ('TitleText', (255, 255, 255)),
    ('InactiveTitleText', (200, 200, 200)),
    ('TransColor', KEY),
    ('BarColor', (207, 207, 207)),
    ('MenuColor', (207, 207, 207)),
    ('ButtonFace', (212, 208, 200)),
    ('ButtonText', (0, 0, 0)),
    ('ButtonHilight', (255, 255, 255)),
    ('ButtonFocus', (0, 128, 255)),
]

# Active and inactive looks of the frame: band top, band bottom, edge.
ACTIVE = ((40, 70, 140), (16, 32, 80), (120, 160, 230))
INACTIVE = ((150, 150, 150), (110, 110, 110), (190, 190, 190))
BOTTOM_ACTIVE, BOTTOM_INACTIVE = (24, 44, 96), (120, 120, 120)


def band_half(c, top, look, width, height):
    a, b, edge = look
    for y in range(height):
        c.fill_rect(0, top + y, width, top + y + 1, mix(a, b, y / (height - 1.0)))
    c.fill_rect(0, top, width, top + 1, edge)
    # The fixed ends carry a mark so that a piece drawn in the wrong place shows.
    c.fill_rect(6, top + 8, 12, top + 18, edge)
    c.fill_rect(width - 12, top + 8, width - 6, top + 18, edge)


def draw_top():
    t = THEME
    w, band = t['top_w'], t['band']
    c = Canvas(w, band * 2)
    band_half(c, 0, ACTIVE, w, band)
    band_half(c, band, INACTIVE, w, band)
    # Rounded outer corners: key pixels in a small staircase.
    for top in (0, band):
        for y, n in enumerate((3, 2, 1)):
            c.fill_rect(0, top + y, n, top + y + 1, KEY)
            c.fill_rect(w - n, top + y, w, top + y + 1, KEY)
    return c


def draw_side():
    t = THEME
    c = Canvas(t['side'] * 2, t['side_h'])
    c.fill_rect(0, 0, t['side'], t['side_h'], ACTIVE[1])
    c.fill_rect(t['side'], 0, t['side'] * 2, t['side_h'], INACTIVE[1])
    c.fill_rect(0, 0, 1, t['side_h'], ACTIVE[2])
    c.fill_rect(t['side'], 0, t['side'] + 1, t['side_h'], INACTIVE[2])
    return c


def draw_bottom():
    # Flat halves on whole 8 x 8 blocks: the JPEG keeps them within a level.
    t = THEME
    c = Canvas(t['bottom_w'], t['bottom'] * 2)
    c.fill_rect(0, 0, t['bottom_w'], t['bottom'], BOTTOM_ACTIVE)
    c.fill_rect(0, t['bottom'], t['bottom_w'], t['bottom'] * 2, BOTTOM_INACTIVE)
    return c


def draw_button(glyph):
    w, h = THEME['button']
    c = Canvas(w * 3, h, KEY)
    looks = [((200, 210, 230), (20, 30, 60)),     # normal
             ((90, 110, 160), (255, 255, 255)),   # pressed
             ((240, 120, 100), (255, 255, 255))]  # hot
    for i, (face, ink) in enumerate(looks):
        x0 = i * w
        c.fill_rect(x0 + 1, 1, x0 + w - 1, h - 1, face)
        if glyph == 'close':
            for d in range(4, h - 4):
                c.fill_rect(x0 + d + 1, d, x0 + d + 3, d + 1, ink)
                c.fill_rect(x0 + w - d - 3, d, x0 + w - d - 1, d + 1, ink)
        else:
            c.fill_rect(x0 + 4, h - 5, x0 + w - 4, h - 3, ink)
    return c


def draw_dialog():
    c = Canvas(32, 32, (212, 208, 200))
    c.fill_rect(4, 4, 28, 28, ACTIVE[0])
    return c


def theme_ini():
    t = THEME
    lines = ['[Personality]',
             'DialogBmp=dialog.bmp',
             'Top=top.bmp', 'Bottom=bottom.jpg', 'Left=left.gif', 'Right=right.bmp',
             'TopTopHeight=%d' % t['top_left'], 'TopBotHeight=%d' % t['top_right'],
             'LeftTopHeight=%d' % t['side_top'], 'LeftBotHeight=%d' % t['side_bot'],
             'RightTopHeight=%d' % t['side_top'], 'RightBotHeight=%d' % t['side_bot'],
             'BottomTopHeight=%d' % t['bottom_left'], 'BottomBotHeight=%d' % t['bottom_right'],
             'ButtonCount=%d' % len(t['buttons']), 'ButtonImgCount=3',
             'TextShift=%d' % t['text_shift'], 'TextShiftVert=%d' % t['text_shift_vert'],
             'UsesTran=1', '']
    for i, (image, action, x, y) in enumerate(t['buttons']):
        lines += ['[Button%d]' % i, 'ButtonImage=%s' % image, 'Action=%d' % action,
                  'XCoord=%d' % x, 'YCoord=%d' % y, '']
    lines.append('[Colours]')
    lines += ['%s=%d,%d,%d' % ((name,) + rgb) for name, rgb in COLOURS]
    return ('\r\n'.join(lines) + '\r\n').encode('ascii')


def files():
    """theme.ini and its images (skin/Sleekform)."""
    return {
        'theme.ini': theme_ini,
        'top.bmp': lambda: draw_top().bmp(),
        'left.gif': lambda: gif(draw_side()),
        'right.bmp': lambda: draw_side().bmp(),
        'bottom.jpg': lambda: jpeg(draw_bottom()),
        'close.bmp': lambda: draw_button('close').bmp(),
        'minimize.bmp': lambda: draw_button('minimize').bmp(),
        'dialog.bmp': lambda: draw_dialog().bmp(),
    }


# --- Timewarden's resource bitmaps -------------------------------------------

STEEL = ((96, 104, 120), (52, 58, 70))
BAR_FACE, BAR_INK, BAR_TRACK = (70, 78, 92), (0, 255, 0), (24, 28, 34)


def gradient(w, h, top, bottom, edge=None):
    c = Canvas(w, h)
    for y in range(h):
        c.fill_rect(0, y, w, y + 1, mix(top, bottom, y / max(1.0, h - 1.0)))
    if edge:
        c.fill_rect(0, 0, w, 1, edge)
        c.fill_rect(0, h - 1, w, h, edge)
        c.fill_rect(0, 0, 1, h, edge)
        c.fill_rect(w - 1, 0, w, h, edge)
    return c


def button(look):
    looks = {'normal': ((222, 226, 234), (168, 176, 192), (90, 100, 120)),
             'hover': ((236, 244, 255), (180, 204, 240), (60, 110, 200)),
             'pressed': ((150, 170, 210), (210, 222, 244), (40, 80, 160))}
    return gradient(64, 20, *looks[look])


def arrow(w, h, direction):
    c = gradient(w, h, BAR_FACE, STEEL[1], (30, 34, 40))
    cx, cy = w / 2.0, h / 2.0
    s = min(w, h) / 4.0
    pts = {'left': [(cx - s, cy), (cx + s, cy - s), (cx + s, cy + s)],
           'right': [(cx + s, cy), (cx - s, cy - s), (cx - s, cy + s)],
           'up': [(cx, cy - s), (cx - s, cy + s), (cx + s, cy + s)],
           'down': [(cx, cy + s), (cx - s, cy - s), (cx + s, cy - s)]}[direction]
    c.paint(polygon(pts), (0, 0, w, h), BAR_INK)
    return c


def thumb(w, h):
    c = gradient(w, h, (120, 200, 120), (40, 120, 40), (20, 60, 20))
    return c


def track(w, h):
    return Canvas(w, h, BAR_TRACK)


def resources():
    """Resource id -> (file name, drawing)."""
    return {
        132: ('button_normal.bmp', lambda: button('normal')),
        135: ('button_hover.bmp', lambda: button('hover')),
        133: ('button_pressed.bmp', lambda: button('pressed')),
        138: ('hexedit.bmp', lambda: gradient(100, 20, (250, 252, 255), (214, 222, 236))),
        # Horizontal bar, 20 high: left arrow, right arrow, thumb, track column.
        143: ('hbar_left.bmp', lambda: arrow(26, 20, 'left')),
        145: ('hbar_right.bmp', lambda: arrow(26, 20, 'right')),
        146: ('hbar_thumb.bmp', lambda: thumb(26, 20)),
        144: ('hbar_track.bmp', lambda: track(1, 20)),
        # Vertical bar, 12 wide: top cap, bottom cap, up, down, thumb, track row.
        152: ('vbar_top.bmp', lambda: gradient(12, 11, STEEL[0], STEEL[1])),
        140: ('vbar_bottom.bmp', lambda: gradient(12, 11, STEEL[1], STEEL[0])),
        149: ('vbar_up.bmp', lambda: arrow(12, 26, 'up')),
        150: ('vbar_down.bmp', lambda: arrow(12, 26, 'down')),
        147: ('vbar_thumb.bmp', lambda: thumb(12, 26)),
        151: ('vbar_track.bmp', lambda: track(12, 1)),
        # Column header: left piece, middle column (stretched), right piece.
        142: ('header_left.bmp', lambda: gradient(3, 20, STEEL[0], STEEL[1], (20, 24, 30))),
        141: ('header_middle.bmp', lambda: gradient(1, 20, STEEL[0], STEEL[1])),
        148: ('header_right.bmp', lambda: gradient(3, 20, STEEL[0], STEEL[1], (20, 24, 30))),
    }


def resource_files():
    out = {name: (lambda make=make: make().bmp()) for name, make in resources().values()}
    # The resource script that names them, included by Timewarden.rc.
    lines = ['%d BITMAP "%s"' % (rid, name) for rid, (name, _) in sorted(resources().items())]
    out['timewarden_bitmaps.rc'] = lambda: ('\r\n'.join(lines) + '\r\n').encode('ascii')
    return out
