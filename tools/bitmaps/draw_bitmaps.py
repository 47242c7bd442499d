#!/usr/bin/env python3
"""Draws the bitmaps of the scan-path dialog as 8-bit palette BMP files.

    draw_bitmaps.py [output folder]     (default: src/res/bitmaps)

The check-box strip (resource 106) and the eight faces of the OK and Cancel
buttons (107-114). Standard library only; the Chinese labels are drawn from
the small pixel glyphs below, so no font is needed.
"""
import os
import struct
import sys

MAGENTA = (255, 0, 255)          # transparent in the check-box strip
DIALOG_BACKGROUND = (239, 249, 255)  # behind the rounded face corners

FACE_WIDTH, FACE_HEIGHT = 78, 23
GLYPH_SIZE = 12
GLYPH_GAP = 8

# 12 x 12 glyphs, '#' inked.
GLYPHS = {
    "确": [
        ".......#....",
        "#####..####.",
        "..#...#..#..",
        "..#...######",
        ".####.#.#..#",
        "##..#.#.#..#",
        ".#..#.######",
        ".#..#.#.#..#",
        ".####.#.#..#",
        "......######",
        ".....##....#",
        "....#.....##",
    ],
    "定": [
        ".....##.....",
        "############",
        "#..........#",
        "#..........#",
        "..########..",
        "......#.....",
        "...#..#.....",
        "...#..####..",
        "...#..#.....",
        "..#.#.#.....",
        ".#...##.....",
        "#.....######",
    ],
    "取": [
        "######......",
        ".#..#.#####.",
        ".#..#.#...#.",
        ".####..#..#.",
        ".#..#..#.#..",
        ".#..#...##..",
        ".####...#...",
        ".#..#..#.#..",
        ".#..####..#.",
        "####.#.....#",
        "....#.......",
        "....#.......",
    ],
    "消": [
        ".#......#...",
        "..#..#..#..#",
        ".....#..#.#.",
        "#...........",
        ".#...######.",
        ".....#....#.",
        ".....######.",
        "...#.#....#.",
        "..#..######.",
        ".#...#....#.",
        "#...#.....#.",
        "...#.....##.",
    ],
}

# Face looks: border, gradient top and bottom, text colour, text offset.
FACES = {
    "normal": ((24, 92, 160), (88, 166, 230), (40, 120, 200), (255, 255, 255), 0),
    "hover": ((30, 110, 190), (132, 202, 255), (60, 150, 240), (255, 255, 255), 0),
    "pressed": ((10, 50, 100), (30, 90, 160), (20, 70, 135), (170, 190, 215), 1),
    "disabled": ((160, 190, 215), (226, 237, 248), (205, 222, 240), (168, 188, 208), 0),
}

# File name prefix and label of each button; each gets every face of FACES.
BUTTONS = [("ok", "确定"), ("cancel", "取消")]

BOX_GREY = ((142, 143, 143), (228, 228, 228), (112, 112, 112))   # border, fill, tick
BOX_WHITE = ((28, 81, 128), (255, 255, 255), (0, 90, 160))
# Pixels of the tick inside a 13 x 13 box.
TICK = [(3, 6), (3, 7), (4, 7), (4, 8), (5, 8), (5, 9), (6, 7), (6, 8),
        (7, 6), (7, 7), (8, 5), (8, 6), (9, 4), (9, 5)]


def blank(width, height, colour):
    return [[colour] * width for _ in range(height)]


def mix(top, bottom, fraction):
    return tuple(round(a + (b - a) * fraction) for a, b in zip(top, bottom))


def draw_face(label, look):
    border, top, bottom, ink, offset = look
    image = blank(FACE_WIDTH, FACE_HEIGHT, border)
    for y in range(1, FACE_HEIGHT - 1):
        shade = mix(top, bottom, (y - 1) / (FACE_HEIGHT - 3))
        for x in range(1, FACE_WIDTH - 1):
            image[y][x] = shade
    for x, y in [(0, 0), (FACE_WIDTH - 1, 0), (0, FACE_HEIGHT - 1),
                 (FACE_WIDTH - 1, FACE_HEIGHT - 1)]:
        image[y][x] = DIALOG_BACKGROUND
    text_width = len(label) * GLYPH_SIZE + (len(label) - 1) * GLYPH_GAP
    left = (FACE_WIDTH - text_width) // 2 + offset
    top_row = (FACE_HEIGHT - GLYPH_SIZE) // 2 + offset
    for index, character in enumerate(label):
        x0 = left + index * (GLYPH_SIZE + GLYPH_GAP)
        for dy, row in enumerate(GLYPHS[character]):
            for dx, cell in enumerate(row):
                if cell == "#":
                    image[top_row + dy][x0 + dx] = ink
    return image


def draw_check_boxes():
    """Four 16 x 13 cells: grey empty, white empty, grey ticked, white ticked."""
    image = blank(64, 13, MAGENTA)
    for cell, (colours, ticked) in enumerate([(BOX_GREY, False), (BOX_WHITE, False),
                                              (BOX_GREY, True), (BOX_WHITE, True)]):
        border, fill, tick = colours
        left = cell * 16 + 1
        for y in range(13):
            for x in range(13):
                edge = x in (0, 12) or y in (0, 12)
                image[y][left + x] = border if edge else fill
        if ticked:
            for x, y in TICK:
                image[y][left + x] = tick
    return image


def bmp_bytes(image):
    """An uncompressed 8-bit bottom-up BMP with the image's own palette."""
    height, width = len(image), len(image[0])
    palette = sorted({colour for row in image for colour in row})
    if len(palette) > 256:
        raise ValueError("more than 256 colours")
    index = {colour: i for i, colour in enumerate(palette)}
    stride = (width + 3) & ~3
    pixels = b"".join(bytes(index[c] for c in row) + b"\0" * (stride - width)
                      for row in reversed(image))
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels),
                       2835, 2835, len(palette), len(palette))
    return header + info + colours + pixels


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "src", "res", "bitmaps")
    os.makedirs(folder, exist_ok=True)
    outputs = {"check_boxes.bmp": draw_check_boxes()}
    for prefix, label in BUTTONS:
        for face, look in FACES.items():
            outputs["%s_%s.bmp" % (prefix, face)] = draw_face(label, look)
    for name, image in outputs.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(bmp_bytes(image))


if __name__ == "__main__":
    main()
