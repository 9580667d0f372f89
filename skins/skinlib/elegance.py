# -*- coding: utf-8 -*-
"""The default skin "elegance": the main panel of OrvixPlus in its four looks
with its Mask, the frame of the other windows, the caption buttons, the hand
cursor of the web button and skin.ini.

The panel is one table of elements (name, rectangle, tool tip, how it is drawn);
skin.ini, the Mask and the four state images are all made from that table, so
they cannot disagree.
"""
import math

from .canvas import (Canvas, circle, ellipse, mix, offset, polygon, ring,
                     rounded_box, segment, subtract, union, cursor_file)

WIDTH, HEIGHT = 580, 180

WHITE = (255, 255, 255)
BODY_KEY = (0, 0, 0)               # the panel in the Mask
OUTLINE = (34, 41, 52)
PANEL_TOP, PANEL_BOTTOM = (96, 112, 132), (48, 58, 74)
LCD_TOP, LCD_BOTTOM, LCD_EDGE = (204, 220, 196), (176, 196, 170), (80, 92, 84)

# The four looks of a button face: gradient top, gradient bottom, edge, glyph.
LOOKS = {
    'normal':   ((128, 144, 164), (70, 82, 100), (28, 34, 44), (232, 238, 244)),
    'hovered':  ((160, 180, 206), (88, 106, 132), (170, 200, 240), (255, 255, 255)),
    'pressed':  ((58, 70, 86), (112, 128, 148), (20, 24, 32), (214, 226, 240)),
    'disabled': ((104, 110, 118), (92, 98, 106), (70, 76, 84), (142, 148, 156)),
}
RED = {'normal': (222, 62, 52), 'hovered': (255, 92, 80), 'pressed': (196, 48, 40),
       'disabled': (150, 118, 116)}
TRACK = (30, 36, 46)
FILLED = {'pressed': ((96, 178, 236), (36, 108, 178)), 'disabled': ((132, 138, 146), (108, 114, 122))}


def panel_shape():
    body = rounded_box(0, 14, WIDTH, HEIGHT, 16)
    bulge = rounded_box(190, 0, 390, 40, 12)
    hole = circle(556, 156, 6)
    return subtract(union(body, bulge), hole)


# --- glyphs: shapes in a button's own coordinates (origin at its top-left) ---

def g_triangle_right(cx, cy, s):
    return polygon([(cx - s * 0.6, cy - s), (cx + s * 0.8, cy), (cx - s * 0.6, cy + s)])


def g_triangle_left(cx, cy, s):
    return polygon([(cx + s * 0.6, cy + s), (cx - s * 0.8, cy), (cx + s * 0.6, cy - s)])


def glyph(kind, w, h):
    cx, cy = w / 2.0, h / 2.0
    if kind == 'play':
        return g_triangle_right(cx + 1, cy, 7)
    if kind == 'pause':
        return union(rounded_box(cx - 6, cy - 7, cx - 2, cy + 7, 1),
                     rounded_box(cx + 2, cy - 7, cx + 6, cy + 7, 1))
    if kind == 'stop':
        return rounded_box(cx - 6, cy - 6, cx + 6, cy + 6, 1.5)
    if kind == 'record':
        return circle(cx, cy, 7)
    if kind == 'back':
        return union(g_triangle_left(cx - 3, cy, 6), g_triangle_left(cx + 5, cy, 6))
    if kind == 'ahead':
        return union(g_triangle_right(cx - 5, cy, 6), g_triangle_right(cx + 3, cy, 6))
    if kind == 'up':
        return polygon([(cx - 7, cy + 4), (cx, cy - 5), (cx + 7, cy + 4)])
    if kind == 'down':
        return polygon([(cx + 7, cy - 4), (cx, cy + 5), (cx - 7, cy - 4)])
    if kind == 'minimize':
        return rounded_box(cx - 5, cy + 2, cx + 5, cy + 5, 1)
    if kind == 'maximize':
        return ring(rounded_box(cx - 5, cy - 5, cx + 5, cy + 5, 1), 2)
    if kind == 'close':
        return union(segment(cx - 4, cy - 4, cx + 4, cy + 4, 2.4),
                     segment(cx - 4, cy + 4, cx + 4, cy - 4, 2.4))
    if kind == 'plus':
        return union(rounded_box(cx - 6, cy - 1.5, cx + 6, cy + 1.5, 1),
                     rounded_box(cx - 1.5, cy - 6, cx + 1.5, cy + 6, 1))
    if kind == 'minus':
        return rounded_box(cx - 6, cy - 1.5, cx + 6, cy + 1.5, 1)
    if kind == 'mute':
        speaker = union(rounded_box(cx - 8, cy - 3, cx - 4, cy + 3, 0.5),
                        polygon([(cx - 5, cy - 3), (cx, cy - 7), (cx, cy + 7), (cx - 5, cy + 3)]))
        cross = union(segment(cx + 3, cy - 3, cx + 8, cy + 3, 1.8),
                      segment(cx + 3, cy + 3, cx + 8, cy - 3, 1.8))
        return union(speaker, cross)
    if kind == 'settings':      # three sliders
        parts = []
        for i, knob in enumerate((-4, 3, -1)):
            y = cy - 6 + i * 6
            parts.append(segment(cx - 9, y, cx + 9, y, 1.6))
            parts.append(circle(cx + knob, y, 2.6))
        return union(*parts)
    if kind == 'clock':
        return union(ring(circle(cx, cy, 9), 2),
                     segment(cx, cy, cx, cy - 6, 2), segment(cx, cy, cx + 4, cy + 2, 2))
    if kind == 'scan':          # magnifier
        return union(ring(circle(cx - 2, cy - 2, 6), 2.2),
                     segment(cx + 2.5, cy + 2.5, cx + 8, cy + 8, 3))
    if kind == 'camera':
        body = rounded_box(cx - 10, cy - 5, cx + 10, cy + 8, 2)
        top = rounded_box(cx - 4, cy - 8, cx + 3, cy - 4, 1)
        lens = circle(cx, cy + 1.5, 4)
        return subtract(union(body, top), lens)
    if kind == 'wall':
        parts = []
        for gx in (-1, 1):
            for gy in (-1, 1):
                x0, y0 = cx + (gx - 1) * 5 + (1 if gx > 0 else 0), cy + (gy - 1) * 4 + (1 if gy > 0 else 0)
                parts.append(rounded_box(x0, y0, x0 + 9, y0 + 7, 1))
        return union(*parts)
    if kind == 'globe':
        r = min(w, h) / 2.0 - 5
        return union(ring(circle(cx, cy, r), 1.8), ring(ellipse(cx, cy, r * 0.45, r), 1.6),
                     segment(cx - r, cy, cx + r, cy, 1.6))
    raise ValueError(kind)


# --- the panel's elements ---------------------------------------------------

class Element:
    def __init__(self, section, name, rect, tip='', face='rect', glyph=None, text=None,
                 key=None, cursor=None):
        self.section, self.name, self.rect = section, name, rect
        self.tip, self.face, self.glyph, self.text = tip, face, glyph, text
        self.key, self.cursor = key, cursor


def button(name, rect, tip, face='rect', glyph=None, text=None, key=None, cursor=None):
    return Element('ShapeButtonInfo', name, rect, tip, face, glyph, text, key, cursor)


def elements():
    items = [
        # Sources, beside the LCD strip.
        button('TV', (232, 26, 272, 48), '电视', text='TV'),
        button('Composite', (276, 26, 316, 48), '复合视频', text='AV'),
        button('SVideo', (232, 52, 272, 74), 'S端子', text='S'),
        button('FM', (276, 52, 316, 74), '收音机', text='FM'),
        button('NEXT_CHANNELS', (328, 26, 352, 48), '下一频道', glyph='up'),
        button('PRE_CHANNELS', (328, 52, 352, 74), '上一频道', glyph='down'),
    ]
    # Number pad: 1 to 5 on the first row, 6 to 9 and 0 on the second.
    for i, digit in enumerate('1234567890'):
        x = 364 + (i % 5) * 28
        y = 26 if i < 5 else 52
        items.append(button('NUMBER_%s' % digit, (x, y, x + 24, y + 22), '数字 %s' % digit, text=digit))
    items += [
        button('MINIMIZE', (516, 22, 538, 40), '最小化', glyph='minimize'),
        button('CLOSE', (542, 22, 564, 40), '关闭', glyph='close'),
        button('WWW', (524, 46, 556, 78), '访问网站', face='round', glyph='globe',
               key=(0, 0, 128), cursor='hand.cur'),
    ]
    # Transport: round, shaped by their key colours in the Mask.
    transport = [('BACK_MOVIE', '后退', 'back', (255, 0, 0)),
                 ('PLAY_MOVIE', '播放', 'play', (0, 255, 0)),
                 ('PAUSE_MOVIE', '暂停', 'pause', (0, 0, 255)),
                 ('STOP_MOVIE', '停止', 'stop', (255, 255, 0)),
                 ('RECORD_MOVIE', '录像', 'record', (0, 255, 255)),
                 ('AHEAD_MOVIE', '前进', 'ahead', (255, 0, 255))]
    for i, (name, tip, g, key) in enumerate(transport):
        x = 20 + i * 42
        items.append(button(name, (x, 88, x + 36, 124), tip, face='round', glyph=g, key=key))
    functions = [('PROPERTY_PAGE', '设置', 'settings'), ('TIMED_RECORD', '定时录像', 'clock'),
                 ('SCAN_CHANNELS', '搜索频道', 'scan'), ('CAPTURE_PICTURES', '截图', 'camera'),
                 ('TV_WALLS', '电视墙', 'wall')]
    for i, (name, tip, g) in enumerate(functions):
        x = 284 + i * 42
        items.append(button(name, (x, 92, x + 36, 120), tip, glyph=g))
    items += [
        button('MUTE_SND', (300, 140, 326, 164), '静音', glyph='mute'),
        button('SUB_SND', (334, 140, 360, 164), '音量减', glyph='minus'),
        button('ADD_SND', (494, 140, 520, 164), '音量加', glyph='plus'),
        Element('ShapeProgressInfo', 'PROGRESS_POS', (20, 146, 290, 160), '播放进度',
                face='track', key=(128, 0, 0)),
        Element('ShapeProgressInfo', 'PROGRESS_VOLUME', (368, 146, 486, 160), '音量',
                face='track', key=(0, 128, 0)),
        Element('TimerInfo', 'timer_show', (24, 30, 110, 52)),
        Element('TimerInfo', 'timer_record', (114, 30, 212, 52)),
        Element('TimerInfo', 'timer_filesize', (24, 54, 212, 76)),
    ]
    return items


LCD_RECT = (18, 26, 218, 80)


def face_shape(e):
    l, t, r, b = e.rect
    w, h = r - l, b - t
    if e.face == 'round':
        return circle(w / 2.0, h / 2.0, min(w, h) / 2.0 - 0.5)
    if e.face == 'track':
        return rounded_box(0, 0, w, h, h / 2.0)
    return rounded_box(0, 0, w, h, 5)


def draw_panel(look):
    """One of the four state images: every element in that look."""
    c = Canvas(WIDTH, HEIGHT, OUTLINE)     # edges blend toward the outline colour
    shape = panel_shape()
    inner = lambda x, y: shape(x, y) + 2.0
    gradient = lambda y: mix(PANEL_TOP, PANEL_BOTTOM, y / (HEIGHT - 1.0))
    c.paint(inner, (0, 0, WIDTH, HEIGHT), gradient)
    lcd = rounded_box(*LCD_RECT, 6)
    c.paint(lcd, LCD_RECT, LCD_EDGE)
    l, t, r, b = LCD_RECT
    c.paint(rounded_box(l + 1.5, t + 1.5, r - 1.5, b - 1.5, 5), LCD_RECT,
            lambda y: mix(LCD_TOP, LCD_BOTTOM, (y - t) / float(b - t)))
    c.text('ORVIX', 262, 4, 1, (176, 190, 208))
    for e in elements():
        if e.section == 'TimerInfo':
            continue
        draw_element(c, e, look)
    return c


def draw_element(c, e, look):
    l, t, r, b = e.rect
    w, h = r - l, b - t
    face = face_shape(e)
    if e.face == 'track':
        filled = FILLED.get(look)
        c.paint(offset(face, l, t), e.rect, TRACK)
        inner = offset(rounded_box(1.5, 1.5, w - 1.5, h - 1.5, h / 2.0 - 1.5), l, t)
        if filled:
            c.paint(inner, e.rect, lambda y: mix(filled[0], filled[1], (y - t) / float(h)))
        else:
            c.paint(inner, e.rect, lambda y: mix((46, 54, 66), (64, 74, 88), (y - t) / float(h)))
        return
    top, bottom, edge, ink = LOOKS[look]
    c.paint(offset(face, l, t), e.rect, edge)
    c.paint(offset(lambda x, y: face(x, y) + 1.2, l, t), e.rect,
            lambda y: mix(top, bottom, (y - t) / float(h - 1)))
    shift = 1 if look == 'pressed' else 0
    if e.glyph:
        colour = RED[look] if e.glyph == 'record' else ink
        c.paint(offset(glyph(e.glyph, w, h), l + shift, t + shift), e.rect, colour)
    if e.text:
        c.text_centred(e.text, e.rect, 2, ink, shift, shift)


def draw_mask():
    c = Canvas(WIDTH, HEIGHT, WHITE)
    c.paint(panel_shape(), (0, 0, WIDTH, HEIGHT), BODY_KEY, aa=False)
    for e in elements():
        if e.key:
            l, t, r, b = e.rect
            c.paint(offset(face_shape(e), l, t), e.rect, e.key, aa=False)
    return c


# --- the frame of the other windows and its caption buttons ----------------

MAGENTA = (255, 0, 255)
CAPTION_H, CORNER_W, MIDDLE_W, RIGHT_W = 24, 24, 8, 72
SIDE_W, SIDE_H, BOTTOM_H, BOTTOM_W = 4, 8, 4, 8
FRAME_LOOKS = {0: ((232, 238, 246), (198, 208, 224), (86, 100, 122)),     # active
               1: ((222, 222, 222), (196, 196, 196), (128, 128, 128))}    # inactive, greyer


def frame_pieces(state):
    """Rectangles of the eight pieces of one state in the frame image."""
    y = state * (CAPTION_H + BOTTOM_H + SIDE_H)
    top_w = CORNER_W + MIDDLE_W + RIGHT_W
    row2 = y + CAPTION_H
    return {
        'TopLeft': (0, y, CORNER_W, y + CAPTION_H),
        'MiddleTop': (CORNER_W, y, CORNER_W + MIDDLE_W, y + CAPTION_H),
        'TopRight': (CORNER_W + MIDDLE_W, y, top_w, y + CAPTION_H),
        'MiddleLeft': (0, row2, SIDE_W, row2 + SIDE_H),
        'MiddleRight': (SIDE_W, row2, 2 * SIDE_W, row2 + SIDE_H),
        'BottomLeft': (2 * SIDE_W, row2, 2 * SIDE_W + BOTTOM_W, row2 + BOTTOM_H),
        'MiddleBottom': (2 * SIDE_W + BOTTOM_W, row2, 2 * SIDE_W + 2 * BOTTOM_W, row2 + BOTTOM_H),
        'BottomRight': (2 * SIDE_W + 2 * BOTTOM_W, row2, 2 * SIDE_W + 3 * BOTTOM_W, row2 + BOTTOM_H),
    }


PIECE_ORDER = ['TopLeft', 'MiddleTop', 'TopRight', 'MiddleLeft', 'MiddleRight',
               'BottomLeft', 'MiddleBottom', 'BottomRight']


def draw_frame():
    width = CORNER_W + MIDDLE_W + RIGHT_W
    height = 2 * (CAPTION_H + BOTTOM_H + SIDE_H)
    c = Canvas(width, height, MAGENTA)
    for state in (0, 1):
        top, bottom, edge = FRAME_LOOKS[state]
        p = frame_pieces(state)
        l, t, r, b = p['TopLeft'][0], p['TopLeft'][1], p['TopRight'][2], p['TopLeft'][3]
        grad = lambda y, t=t: mix(top, bottom, (y - t) / float(CAPTION_H - 1))
        # The caption as one strip whose ends are the rounded corners; the
        # corners outside the rounding stay magenta (the frame's MaskColor).
        strip = rounded_box(l, t, r, b + 10, 8)
        c.fill_rect(l, t, r, b, MAGENTA)
        for x0, x1 in ((l, l + CORNER_W), (l + CORNER_W, l + CORNER_W + MIDDLE_W),
                       (l + CORNER_W + MIDDLE_W, r)):
            if x0 == l + CORNER_W:    # the middle piece is tiled: no corners in it
                c.fill_rect(x0, t, x1, t + 1, edge)
                for y in range(t + 1, b):
                    c.fill_rect(x0, y, x1, y + 1, grad(y))
                continue
            c.paint(strip, (x0, t, x1, b), edge, aa=False)
            c.paint(lambda x, y: strip(x, y) + 1.0, (x0, t, x1, b), grad, aa=False)
        for name in ('MiddleLeft', 'MiddleRight', 'BottomLeft', 'MiddleBottom', 'BottomRight'):
            pl, pt, pr, pb = p[name]
            c.fill_rect(pl, pt, pr, pb, bottom)
        pl, pt, pr, pb = p['MiddleLeft']
        c.fill_rect(pl, pt, pl + 1, pb, edge)
        pl, pt, pr, pb = p['MiddleRight']
        c.fill_rect(pr - 1, pt, pr, pb, edge)
        for name in ('BottomLeft', 'MiddleBottom', 'BottomRight'):
            pl, pt, pr, pb = p[name]
            c.fill_rect(pl, pb - 1, pr, pb, edge)
        pl, pt, pr, pb = p['BottomLeft']
        c.fill_rect(pl, pt, pl + 1, pb, edge)
        pl, pt, pr, pb = p['BottomRight']
        c.fill_rect(pr - 1, pt, pr, pb, edge)
    return c


SYS_SIZE = 18
SYS_BUTTONS = [('SysMinButton', 'minimize', 66), ('SysMaxButton', 'maximize', 44),
               ('SysCloseButton', 'close', 22)]
SYS_STATES = ['normal', 'over', 'down', 'disabled']
SYS_LOOKS = {'normal': 'normal', 'over': 'hovered', 'down': 'pressed', 'disabled': 'disabled'}


def sys_rect(row, col):
    return (col * SYS_SIZE, row * SYS_SIZE, (col + 1) * SYS_SIZE, (row + 1) * SYS_SIZE)


def draw_sysbuttons():
    c = Canvas(SYS_SIZE * len(SYS_STATES), SYS_SIZE * len(SYS_BUTTONS), FRAME_LOOKS[0][1])
    for row, (_, g, _) in enumerate(SYS_BUTTONS):
        for col, state in enumerate(SYS_STATES):
            e = Element('', '', sys_rect(row, col), glyph=g)
            draw_element(c, e, SYS_LOOKS[state])
    return c


HAND = [
    "      ##",
    "     #..#",
    "     #..#",
    "     #..#",
    "     #..#",
    "     #..###",
    "     #..#..###",
    "     #..#..#..##",
    "     #..#..#..#.#",
    " ### #..#..#..#..#",
    " #..##........#..#",
    " #...#...........#",
    "  #..............#",
    "   #.............#",
    "   #.............#",
    "    #...........#",
    "    #...........#",
    "     #.........#",
    "     #.........#",
    "     ###########",
]


# --- skin.ini -----------------------------------------------------------------

def rect_text(r):
    return '%d,%d,%d,%d' % r


def colour_text(c):
    return '%d,%d,%d' % c


def element_value(e):
    if e.section == 'ShapeButtonInfo':
        parts = [e.name, rect_text(e.rect), e.tip]
    elif e.section == 'ShapeProgressInfo':
        parts = [e.name, e.tip, rect_text(e.rect), 'H']
    else:
        return '%s,%s' % (e.name, rect_text(e.rect))
    parts += ['TRUE', e.cursor] if e.cursor else ['FALSE']
    parts += ['TRUE', colour_text(e.key)] if e.key else ['FALSE']
    return ','.join(parts)


def skin_ini():
    lines = ['; The default skin of OrvixPlus, written by skins/skingen.py.', '',
             '[ShapeWindowInfo]', 'Normal=normal.bmp', 'Mask=mask.bmp', 'Hovered=hovered.bmp',
             'Pressed=pressed.bmp', 'Disabled=disabled.bmp', '']
    sections = [('ShapeButtonInfo', 'Button'), ('ShapeProgressInfo', 'Progress'), ('TimerInfo', 'Timer')]
    for section, prefix in sections:
        lines.append('[%s]' % section)
        n = 0
        for e in elements():
            if e.section == section:
                n += 1
                lines.append('%s%d=%s' % (prefix, n, element_value(e)))
        lines.append('')
    lines += ['[DialogResInfo]', 'FrameImage=frame.bmp']
    for state in (0, 1):
        p = frame_pieces(state)
        for name in PIECE_ORDER:
            lines.append('%s%d=%s' % (name, state, rect_text(p[name])))
    lines += ['ShapeWindow=1', 'SkinClient=0', 'MaskColor=%s' % colour_text(MAGENTA), '',
              '[SystemButtons]', 'Image=sysbuttons.bmp', '']
    for row, (section, _, off) in enumerate(SYS_BUTTONS):
        lines += ['[%s]' % section, 'OffsetRight=%d' % off, 'OffsetTop=3']
        for col, state in enumerate(SYS_STATES):
            lines.append('%s=%s' % (state, rect_text(sys_rect(row, col))))
        lines.append('')
    lines += ['[COLORTHEME]', 'LogoImage=', 'BackGrndBmp=', 'LogoText=Orvix Plus',
              'LogoTextEndColor=28,40,64', 'MenuColor=236,240,246', 'IconBarColor=206,216,230',
              'LightBarColor=120,150,200', 'LightBarStartColor=160,186,226',
              'LightBarEndColor=96,126,180', 'TextColor=0,0,0', 'HighLightColor=255,255,255',
              'Frame0Color=86,100,122', 'Frame1Color=120,134,156', 'Frame2Color=160,172,190',
              'Frame3Color=206,214,226', '']
    return '\r\n'.join(lines).encode('gbk')


def files():
    """File name -> function making its bytes."""
    return {
        'skin.ini': skin_ini,
        'normal.bmp': lambda: draw_panel('normal').bmp(),
        'hovered.bmp': lambda: draw_panel('hovered').bmp(),
        'pressed.bmp': lambda: draw_panel('pressed').bmp(),
        'disabled.bmp': lambda: draw_panel('disabled').bmp(),
        'mask.bmp': lambda: draw_mask().bmp(),
        'frame.bmp': lambda: draw_frame().bmp(),
        'sysbuttons.bmp': lambda: draw_sysbuttons().bmp(),
        'hand.cur': lambda: cursor_file(HAND, (6, 0)),
    }
