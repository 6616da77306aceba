#!/usr/bin/python3
"""Draws the small bitmaps of the file-browser controls into this folder (24-bit BMP files).

Each glyph is drawn on the key colour olive, which is also its bottom-left pixel: the controls
draw a glyph with that pixel's colour transparent. Run again after a change and commit the
.bmp files; the resource script takes them from here.
"""
import os

from PIL import Image, ImageDraw

KEY = (128, 128, 0)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
SILVER = (192, 192, 192)
DARK = (64, 64, 64)
YELLOW = (255, 255, 128)
GOLD = (224, 192, 64)
BROWN = (128, 96, 32)
NAVY = (0, 0, 128)
BLUE = (0, 0, 255)
SKY = (128, 192, 255)
GREEN = (0, 160, 0)
LIME = (0, 255, 0)
RED = (224, 0, 0)
CYAN = (0, 192, 192)
PALE = (224, 224, 224)

HERE = os.path.dirname(os.path.abspath(__file__))


def canvas(w, h):
    img = Image.new("RGB", (w, h), KEY)
    return img, ImageDraw.Draw(img)


def save(img, name):
    assert img.getpixel((0, img.height - 1)) == KEY, name
    img.save(os.path.join(HERE, name.lower() + ".bmp"))


def closed_folder(d, body, tab, line, y=2):
    d.polygon([(1, y + 1), (2, y), (6, y), (7, y + 1), (7, y + 2)], fill=tab, outline=line)
    d.rectangle([1, y + 2, 14, y + 11], fill=body, outline=line)
    d.line([(2, y + 3), (13, y + 3)], fill=WHITE)


def open_folder(d, back, front, line, y=2):
    d.polygon([(1, y + 1), (2, y), (6, y), (7, y + 1)], fill=back, outline=line)
    d.rectangle([1, y + 1, 12, y + 11], fill=back, outline=line)
    d.polygon([(1, y + 11), (4, y + 5), (15, y + 5), (12, y + 11)], fill=front, outline=line)


def page(d, fill=WHITE, line=BLACK):
    d.polygon([(3, 1), (10, 1), (13, 4), (13, 14), (3, 14)], fill=fill, outline=line)
    d.line([(10, 1), (10, 4), (13, 4)], fill=line)


def folder_glyphs():
    for name, body, tab, line in [("CLOSEDFOLDER", YELLOW, GOLD, BROWN),
                                  ("HIDDENCLOSED", PALE, SILVER, GREY)]:
        img, d = canvas(16, 15)
        closed_folder(d, body, tab, line)
        save(img, name)
    for name, back, front, line, mark in [
            ("OPENFOLDER", GOLD, YELLOW, BROWN, None),
            ("CURRENTFOLDER", GOLD, YELLOW, BROWN, NAVY),
            ("HIDDENOPEN", SILVER, PALE, GREY, None),
            ("HIDDENCURRENT", SILVER, PALE, GREY, GREY)]:
        img, d = canvas(16, 15)
        open_folder(d, back, front, line)
        if mark:  # the current folder: a marked front
            d.polygon([(5, 9), (7, 8), (12, 8), (11, 11), (4, 11)], fill=mark)
        save(img, name)
    img, d = canvas(16, 15)
    closed_folder(d, YELLOW, GOLD, BROWN)
    d.polygon([(7, 5), (10, 8), (8, 8), (8, 12), (6, 12), (6, 8), (4, 8)], fill=GREEN,
              outline=BLACK)
    save(img, "FG_DOTDOT")


def file_glyphs():
    img, d = canvas(16, 15)
    d.rectangle([1, 2, 14, 13], fill=SILVER, outline=BLACK)
    d.rectangle([2, 3, 13, 5], fill=NAVY)
    d.rectangle([3, 7, 12, 12], fill=WHITE)
    d.line([(11, 3), (12, 4)], fill=WHITE)
    save(img, "EXECUTABLE")

    img, d = canvas(16, 15)
    d.rectangle([2, 3, 13, 13], fill=GOLD, outline=BROWN)
    d.rectangle([2, 1, 13, 3], fill=SILVER, outline=DARK)
    for y in range(4, 13, 2):
        d.point((7, y), fill=BLACK)
        d.point((8, y + 1), fill=BLACK)
    d.rectangle([6, 10, 9, 12], fill=SILVER, outline=DARK)
    save(img, "KNOWNZIP")

    img, d = canvas(16, 15)
    page(d)
    for y in (4, 6, 8, 10, 12):
        d.line([(5, y), (11 if y > 4 else 8, y)], fill=NAVY)
    save(img, "KNOWNFILE")

    img, d = canvas(16, 15)
    page(d)
    d.arc([6, 4, 10, 8], 180, 60, fill=GREY)
    d.line([(8, 8), (8, 10)], fill=GREY)
    d.point((8, 12), fill=GREY)
    save(img, "UNKNOWNFILE")

    img, d = canvas(16, 15)
    d.rectangle([1, 2, 14, 13], fill=SKY, outline=BLACK)
    d.ellipse([9, 3, 12, 6], fill=(255, 224, 0))
    d.polygon([(2, 12), (6, 6), (9, 10), (11, 8), (13, 12)], fill=GREEN)
    save(img, "FG_PICTURE")

    img, d = canvas(16, 15)
    d.line([(5, 3), (5, 11)], fill=BLACK)
    d.line([(12, 2), (12, 10)], fill=BLACK)
    d.polygon([(5, 3), (12, 1), (12, 3), (5, 5)], fill=BLACK)
    d.ellipse([2, 10, 5, 13], fill=NAVY, outline=BLACK)
    d.ellipse([9, 9, 12, 12], fill=NAVY, outline=BLACK)
    save(img, "FG_MUSIC")

    img, d = canvas(16, 15)
    d.rectangle([2, 5, 4, 9], fill=DARK)
    d.polygon([(4, 5), (8, 2), (8, 12), (4, 9)], fill=GREY, outline=BLACK)
    d.arc([6, 4, 11, 10], 300, 60, fill=BLUE)
    d.arc([6, 1, 14, 13], 300, 60, fill=BLUE)
    save(img, "FG_SOUND")

    img, d = canvas(16, 15)
    d.rectangle([1, 2, 14, 12], fill=BLACK)
    for x in range(2, 14, 3):
        d.point((x, 3), fill=WHITE)
        d.point((x, 11), fill=WHITE)
    d.rectangle([3, 5, 7, 9], fill=SKY)
    d.rectangle([9, 5, 13, 9], fill=(255, 160, 64))
    save(img, "FG_MOVIE")

    img, d = canvas(11, 15)
    d.line([(1, 7), (4, 10), (9, 3)], fill=RED, width=2)
    save(img, "FG_CHECK")


def drive_glyphs():
    img, d = canvas(16, 16)
    d.rectangle([1, 1, 14, 14], fill=NAVY, outline=BLACK)
    d.rectangle([4, 1, 11, 5], fill=SILVER)
    d.rectangle([8, 2, 10, 4], fill=NAVY)
    d.rectangle([3, 8, 12, 14], fill=WHITE)
    save(img, "FLOPPY")

    img, d = canvas(16, 16)
    d.polygon([(1, 6), (4, 3), (15, 3), (15, 9), (12, 12), (1, 12)], fill=SILVER, outline=BLACK)
    d.line([(1, 6), (12, 6), (15, 3)], fill=BLACK)
    d.line([(12, 6), (12, 12)], fill=BLACK)
    d.rectangle([8, 8, 10, 9], fill=LIME)
    save(img, "HARD")

    img, d = canvas(16, 16)
    d.polygon([(1, 4), (4, 1), (15, 1), (15, 7), (12, 10), (1, 10)], fill=SILVER, outline=BLACK)
    d.line([(1, 4), (12, 4), (15, 1)], fill=BLACK)
    d.line([(12, 4), (12, 10)], fill=BLACK)
    d.rectangle([8, 6, 10, 7], fill=LIME)
    d.line([(6, 10), (6, 13)], fill=BLACK)
    d.line([(1, 13), (14, 13)], fill=BLACK, width=2)
    save(img, "NETWORK")

    img, d = canvas(16, 16)
    d.ellipse([1, 1, 14, 14], fill=SILVER, outline=DARK)
    d.arc([3, 3, 12, 12], 200, 280, fill=WHITE)
    d.ellipse([6, 6, 9, 9], fill=WHITE, outline=DARK)
    d.arc([2, 2, 13, 13], 20, 100, fill=CYAN)
    save(img, "CDROM")

    img, d = canvas(16, 16)
    d.rectangle([1, 4, 14, 11], fill=GREEN, outline=BLACK)
    for x in range(2, 14, 2):
        d.line([(x, 2), (x, 3)], fill=GOLD)
        d.line([(x, 12), (x, 13)], fill=GOLD)
    d.rectangle([4, 6, 11, 9], fill=BLACK)
    save(img, "RAM")


if __name__ == "__main__":
    folder_glyphs()
    file_glyphs()
    drive_glyphs()
