#!/usr/bin/python3
"""Draws the pictures of the main window, the splash and the picture window's buttons into this
folder (BMP files): the splash in 256 colours and in 16, the logo, the sample picture of the
thumbnail sizes, the picture window's button glyphs (on the key colour olive, their transparent
bottom-left pixel) and the grab-hand cursor. Run again after a change and commit the results.
"""
import os

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = (128, 128, 0)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
NAVY = (0, 0, 128)
BLUE = (0, 64, 200)
SKY = (128, 192, 255)
GREEN = (0, 150, 0)
RED = (210, 0, 0)
GOLD = (240, 190, 40)
BROWN = (120, 80, 30)
PALE = (230, 230, 230)


def landscape(w, h):
    """A small harbour scene: sky, sun, hills, sea and a sail, with the program's mark."""
    img = Image.new("RGB", (w, h), SKY)
    d = ImageDraw.Draw(img)
    for y in range(h // 2):
        t = y / (h / 2)
        d.line([(0, y), (w, y)], fill=(int(60 + 120 * t), int(110 + 100 * t), 230))
    d.ellipse([w * 0.70, h * 0.10, w * 0.70 + h * 0.28, h * 0.38], fill=GOLD)
    d.polygon([(0, h * 0.62), (w * 0.25, h * 0.38), (w * 0.52, h * 0.60), (w * 0.78, h * 0.42),
               (w, h * 0.58), (w, h), (0, h)], fill=(40, 130, 60))
    for y in range(int(h * 0.66), h):
        t = (y - h * 0.66) / (h * 0.34)
        d.line([(0, y), (w, y)], fill=(0, int(80 + 60 * t), int(160 + 60 * t)))
    x0 = w * 0.28
    d.polygon([(x0, h * 0.86), (x0 + w * 0.18, h * 0.86), (x0 + w * 0.15, h * 0.93),
               (x0 + w * 0.03, h * 0.93)], fill=BROWN)
    d.polygon([(x0 + w * 0.09, h * 0.50), (x0 + w * 0.09, h * 0.84), (x0 + w * 0.17, h * 0.84)],
              fill=WHITE)
    return img


def save_bmp(img, name, colours=None):
    if colours:
        img = img.convert("P", palette=Image.ADAPTIVE, colors=colours)
    img.save(os.path.join(HERE, name))


def glyph(name, draw):
    img = Image.new("RGB", (24, 24), KEY)
    draw(ImageDraw.Draw(img))
    assert img.getpixel((0, 23)) == KEY, name
    img.save(os.path.join(HERE, name))


def cursor(name, rows, hotspot):
    """A 32 x 32 monochrome cursor file from rows of text: '#' black, '.' white, else clear."""
    import struct
    xor = bytearray(128)
    mask = bytearray(b"\xff" * 128)
    for y, row in enumerate(rows):
        line = 31 - y  # bottom-up
        for x, c in enumerate(row):
            if c in "#.":
                mask[line * 4 + x // 8] &= ~(0x80 >> (x % 8)) & 0xFF
                if c == ".":
                    xor[line * 4 + x // 8] |= 0x80 >> (x % 8)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 256, 0, 0, 2, 0)
    image = header + bytes([0, 0, 0, 0, 255, 255, 255, 0]) + bytes(xor) + bytes(mask)
    entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, hotspot[0], hotspot[1], len(image), 22)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(struct.pack("<HHH", 0, 2, 1) + entry + image)


GRAB_HAND = [
    "",
    "",
    "",
    "       ## ## ##",
    "      #..#..#..##",
    "      #..#..#..#.#",
    "    ###..#..#..#.#",
    "   #..#........#.#",
    "   #..#..........#",
    "    #............#",
    "     #...........#",
    "     #..........#",
    "      #.........#",
    "       #.......#",
    "        #......#",
    "        #......#",
]

MAG_GLASS = [
    "     ####",
    "   ##....##",
    "  #........#",
    "  #........#",
    " #..........#",
    " #..........#",
    " #..........#",
    " #..........#",
    "  #........#",
    "  #........#",
    "   ##....###",
    "     #####.##",
    "           #.##",
    "            #.##",
    "             #.##",
    "              #..#",
    "               ##",
]


def main():
    cursor("grab_hand.cur", GRAB_HAND, (10, 8))
    cursor("mag_glass.cur", MAG_GLASS, (7, 7))
    splash = landscape(260, 130)
    save_bmp(splash, "orvex_260x130x256.bmp", 256)
    save_bmp(splash, "orvex_260x130.bmp", 16)
    logo = landscape(40, 40)
    save_bmp(logo, "orvex_40x40x256.bmp", 256)
    save_bmp(landscape(160, 120), "btnstrip.bmp")

    glyph("pb_close.bmp", lambda d: (d.line([(5, 5), (18, 18)], fill=RED, width=3),
                                     d.line([(18, 5), (5, 18)], fill=RED, width=3)))
    glyph("pb_about.bmp", lambda d: (d.ellipse([4, 3, 19, 18], outline=NAVY, width=2),
                                     d.rectangle([11, 9, 12, 14], fill=NAVY),
                                     d.rectangle([11, 6, 12, 7], fill=NAVY)))
    glyph("pb_full.bmp", lambda d: (d.rectangle([3, 4, 20, 18], outline=BLACK, width=2),
                                    d.polygon([(7, 8), (11, 8), (7, 12)], fill=BLUE),
                                    d.polygon([(16, 14), (16, 10), (12, 14)], fill=BLUE)))
    glyph("pb_zoom.bmp", lambda d: (d.ellipse([3, 3, 15, 15], outline=BLACK, width=2),
                                    d.line([(14, 14), (20, 20)], fill=BROWN, width=3)))
    glyph("pb_details.bmp", lambda d: (d.rectangle([5, 3, 18, 20], fill=WHITE, outline=BLACK),
                                       [d.line([(8, y), (15, y)], fill=GREY) for y in (7, 10, 13, 16)]))
    glyph("bookopen.bmp", lambda d: (d.polygon([(2, 6), (11, 8), (11, 20), (2, 18)], fill=WHITE,
                                               outline=BLACK),
                                     d.polygon([(21, 6), (12, 8), (12, 20), (21, 18)], fill=WHITE,
                                               outline=BLACK),
                                     d.line([(4, 11), (9, 12)], fill=RED),
                                     d.line([(14, 12), (19, 11)], fill=RED)))
    glyph("pb_print.bmp", lambda d: (d.rectangle([7, 3, 16, 9], fill=WHITE, outline=BLACK),
                                     d.rectangle([3, 9, 20, 16], fill=GREY, outline=BLACK),
                                     d.rectangle([7, 14, 16, 20], fill=WHITE, outline=BLACK)))
    glyph("pb_save.bmp", lambda d: (d.rectangle([3, 3, 20, 20], fill=NAVY),
                                    d.rectangle([7, 3, 16, 9], fill=WHITE),
                                    d.rectangle([6, 13, 17, 20], fill=PALE)))
    glyph("pb_encode.bmp", lambda d: (d.rectangle([4, 3, 19, 20], fill=WHITE, outline=BLACK),
                                      d.text((6, 5), "01", fill=GREEN),
                                      d.text((6, 12), "10", fill=GREEN)))
    glyph("pb_copy.bmp", lambda d: (d.rectangle([3, 3, 13, 15], fill=WHITE, outline=BLACK),
                                    d.rectangle([9, 8, 19, 20], fill=WHITE, outline=BLACK)))
    glyph("pb_tools.bmp", lambda d: (d.line([(4, 19), (14, 9)], fill=BROWN, width=3),
                                     d.ellipse([12, 3, 20, 11], outline=GREY, width=3)))
    glyph("pb_stop.bmp", lambda d: d.regular_polygon((11.5, 11.5, 9), 8, rotation=22.5, fill=RED))
    glyph("pb_next.bmp", lambda d: (d.polygon([(5, 4), (14, 11), (5, 19)], fill=GREEN),
                                    d.rectangle([15, 4, 18, 19], fill=GREEN)))
    glyph("pb_skip.bmp", lambda d: (d.polygon([(3, 4), (11, 11), (3, 19)], fill=BLUE),
                                    d.polygon([(11, 4), (19, 11), (11, 19)], fill=BLUE)))
    glyph("pb_loop.bmp", lambda d: (d.arc([3, 3, 20, 20], 30, 330, fill=GREEN, width=3),
                                    d.polygon([(17, 2), (21, 9), (14, 8)], fill=GREEN)))


if __name__ == "__main__":
    main()
