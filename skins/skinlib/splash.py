# -*- coding: utf-8 -*-
"""The start-up picture of OrvixPlus (bitmap resource 161): 593 x 455, 24-bit,
shown while the main window initialises."""
from .canvas import Canvas, mix, rounded_box, ring, circle, text_size

WIDTH, HEIGHT = 593, 455
TOP, BOTTOM = (28, 40, 64), (8, 12, 22)
GLOW = (96, 150, 220)
INK, SUB = (236, 242, 250), (150, 176, 214)


def draw_splash():
    c = Canvas(WIDTH, HEIGHT)
    for y in range(HEIGHT):
        c.fill_rect(0, y, WIDTH, y + 1, mix(TOP, BOTTOM, y / (HEIGHT - 1.0)))
    # A screen outline with a rounded edge, the title inside it.
    screen = (96, 80, WIDTH - 96, 320)
    c.paint(ring(rounded_box(*screen, 22), 4), screen, GLOW)
    c.paint(circle(WIDTH / 2.0, 360, 10), (0, 340, WIDTH, 380), GLOW)
    w, h = text_size('ORVIX', 10)
    c.text('ORVIX', (WIDTH - w) // 2, 150, 10, INK)
    w, h = text_size('TV', 6)
    c.text('TV', (WIDTH - w) // 2, 240, 6, SUB)
    return c


def files():
    """File name -> function making its bytes."""
    return {'splash.bmp': lambda: draw_splash().bmp()}
