# -*- coding: utf-8 -*-
"""The item images of owner-drawn menus as a toolbar strip: 16 x 16 images
side by side on the toolbar grey (192,192,192), which the menus take as
transparent. The menu tests draw with it."""
from .canvas import Canvas

GREY = (192, 192, 192)
IMAGES = [(255, 0, 0), (0, 160, 0), (0, 0, 255)]


def draw_strip():
    c = Canvas(16 * len(IMAGES), 16, GREY)
    # A square inside each image; the grey border around it stays clear.
    for i, colour in enumerate(IMAGES):
        c.fill_rect(16 * i + 3, 3, 16 * i + 13, 13, colour)
    return c


def files():
    """File name -> function making its bytes."""
    return {'menu_toolbar.bmp': lambda: draw_strip().bmp()}
