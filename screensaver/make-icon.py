#!/usr/bin/python3
# Draws saver.ico, the screen saver's icon: a framed picture of hills under a sun.
# Run with Debian's /usr/bin/python3 (PIL); the icon is kept in the tree.
from PIL import Image, ImageDraw

def draw(size):
    s = size / 32
    im = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    d.rectangle([1 * s, 4 * s, 30 * s, 27 * s], fill=(120, 80, 40, 255))
    d.rectangle([3 * s, 6 * s, 28 * s, 25 * s], fill=(110, 170, 240, 255))
    d.ellipse([19 * s, 8 * s, 25 * s, 14 * s], fill=(255, 220, 60, 255))
    d.polygon([(3 * s, 25 * s), (3 * s, 18 * s), (11 * s, 12 * s), (19 * s, 19 * s),
               (28 * s, 15 * s), (28 * s, 25 * s)], fill=(60, 150, 70, 255))
    return im

draw(32).save("saver.ico", sizes=[(32, 32), (16, 16)], bitmap_format="bmp")
