#!/usr/bin/env python3
"""Writes Ferrix.ico, the application icon: three sheets of paper dropping into an open folder.

Two images, 16 x 16 and 32 x 32, each an 8-bit device-independent bitmap with a 256-entry
palette and a 1-bit mask that makes the background transparent. The output depends on nothing
but this script, so running it again reproduces the checked-in file byte for byte.

usage: make_icon.py [OUTPUT]   (default: Ferrix.ico beside this script)
"""

import os
import struct
import sys

# Palette index -> (red, green, blue). Index 0 is what transparent pixels hold: black, so that
# the colour plane XORed onto the screen leaves the screen as it is.
CLEAR, OUTLINE, PAPER, RULE, FOLDER_BACK, FOLDER_FRONT, FOLDER_EDGE = range(7)
COLOURS = {
    CLEAR: (0, 0, 0),
    OUTLINE: (60, 52, 40),
    PAPER: (255, 255, 255),
    RULE: (112, 146, 200),
    FOLDER_BACK: (214, 150, 32),
    FOLDER_FRONT: (252, 204, 80),
    FOLDER_EDGE: (255, 232, 160),
}


class Image:
    """A square of palette indices, all transparent at first; later drawing covers earlier."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[CLEAR] * size for _ in range(size)]

    def fill(self, left, top, right, bottom, colour):
        """Fills the rectangle from (left, top) to (right, bottom), both corners included."""
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.pixels[y][x] = colour

    def box(self, left, top, right, bottom, colour):
        """An outlined, filled rectangle."""
        self.fill(left, top, right, bottom, OUTLINE)
        self.fill(left + 1, top + 1, right - 1, bottom - 1, colour)

    def sheet(self, left, top, right, bottom, rules):
        """A sheet of paper with ruled lines at the given rows below its top."""
        self.box(left, top, right, bottom, PAPER)
        for row in rules:
            self.fill(left + 2, top + row, right - 2, top + row, RULE)


def folder_with_sheets(size):
    image = Image(size)
    if size == 16:
        image.box(0, 4, 6, 7, FOLDER_BACK)  # the folder's tab
        image.box(0, 5, 15, 15, FOLDER_BACK)
        image.sheet(2, 2, 7, 11, [2, 4])
        image.sheet(6, 0, 11, 11, [2, 4, 6])
        image.sheet(10, 2, 14, 11, [2, 4])
        image.box(0, 8, 15, 15, FOLDER_FRONT)
        image.fill(1, 9, 14, 9, FOLDER_EDGE)
    else:
        image.box(1, 6, 12, 10, FOLDER_BACK)  # the folder's tab
        image.box(1, 8, 30, 29, FOLDER_BACK)
        image.sheet(4, 4, 14, 22, [3, 5, 7, 9])
        image.sheet(11, 1, 21, 22, [3, 5, 7, 9, 11])
        image.sheet(18, 4, 27, 22, [3, 5, 7, 9])
        image.box(0, 15, 31, 29, FOLDER_FRONT)
        image.fill(1, 16, 30, 16, FOLDER_EDGE)
    return image


def bitmap(image):
    """The icon image: BITMAPINFOHEADER, palette, colour plane and mask, rows bottom-up."""
    size = image.size
    mask_stride = (size + 31) // 32 * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(image.pixels):
        colour += bytes(row)
        bits = bytearray(mask_stride)
        for x, index in enumerate(row):
            if index == CLEAR:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 8, 0, len(colour) + len(mask), 0, 0, 0, 0)
    palette = bytearray(4 * 256)
    for index, (red, green, blue) in COLOURS.items():
        palette[4 * index:4 * index + 4] = bytes((blue, green, red, 0))
    return header + palette + colour + mask


def icon_file(images):
    """An .ico file: the directory and then the images, in the given order."""
    entries = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    data = bytearray()
    for image in images:
        picture = bitmap(image)
        entries += struct.pack('<BBBBHHII', image.size, image.size, 0, 0, 1, 8, len(picture), offset + len(data))
        data += picture
    return bytes(entries + data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, 'Ferrix.ico')
    with open(output, 'wb') as file:
        file.write(icon_file([folder_with_sheets(16), folder_with_sheets(32)]))


if __name__ == '__main__':
    main()
