#!/usr/bin/env python3
"""Writes the preview window's textures as uncompressed 24-bit BMP files.

    tools/make_preview_textures.py [preview folder]

The folder defaults to preview/ beside this script's parent. Every width is a
multiple of 4, so the rows need no padding. The output is the same on every
run; the files are committed and this script is how they are refreshed.
"""

import math
import os
import struct
import sys

# A 5 x 7 pixel font for the cube's face labels, top row first.
GLYPHS = {
    "+": ["00000", "00100", "00100", "11111", "00100", "00100", "00000"],
    "-": ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    "X": ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "Z": ["11111", "00001", "00010", "00100", "01000", "10000", "11111"],
}


class Picture:
    """RGB pixels addressed (x, y) with y = 0 the bottom row, as BMP stores them."""

    def __init__(self, width, height, fill=(0, 0, 0)):
        assert width % 4 == 0, "rows must need no padding"
        self.width = width
        self.height = height
        self.pixels = [[fill] * width for _ in range(height)]

    def set(self, x, y, rgb):
        self.pixels[y][x] = tuple(max(0, min(255, int(round(c)))) for c in rgb)

    def fill_rect(self, x0, y0, x1, y1, rgb):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.set(x, y, rgb)

    def text(self, label, centre_x, centre_y, scale, rgb):
        """Upright text: the glyphs' top rows land on the larger y."""
        width = (len(label) * 6 - 1) * scale
        left = centre_x - width // 2
        top = centre_y + 7 * scale // 2
        for index, char in enumerate(label):
            for row, bits in enumerate(GLYPHS[char]):
                for col, bit in enumerate(bits):
                    if bit == "1":
                        x = left + (index * 6 + col) * scale
                        y = top - (row + 1) * scale
                        self.fill_rect(x, y, x + scale, y + scale, rgb)

    def save(self, path):
        data = bytearray()
        for row in self.pixels:
            for r, g, b in row:
                data += bytes((b, g, r))
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0,
                           len(data), 2835, 2835, 0, 0)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(header + info + data)


def encode_normal(nx, ny, nz):
    length = math.sqrt(nx * nx + ny * ny + nz * nz)
    return tuple((c / length + 1.0) * 127.5 for c in (nx, ny, nz))


def hashed(a, b):
    """A repeatable pseudo-random value in [0, 1) for integer coordinates."""
    value = (a * 73856093) ^ (b * 19349663) ^ 0x5BD1E995
    value = (value * 1103515245 + 12345) & 0x7FFFFFFF
    return value / 0x80000000


def floor_tiles():
    """Square tiles in two warm greys with darker grout, 4 x 4 per repeat."""
    pic = Picture(256, 256)
    tile, grout = 64, 3
    for y in range(256):
        for x in range(256):
            if x % tile < grout or y % tile < grout:
                pic.set(x, y, (112, 104, 94))
            elif (x // tile + y // tile) % 2 == 0:
                pic.set(x, y, (214, 204, 184))
            else:
                pic.set(x, y, (182, 170, 150))
    return pic


def cube_cross():
    """A cube unfolded on 4 x 3 cells of 128 pixels. Middle row, left to
    right: -X, -Y, +X, +Y; +Z above the second column, -Z below it."""
    cell = 128
    pic = Picture(4 * cell, 3 * cell, fill=(40, 40, 44))
    faces = [  # column, row from the bottom, label, colour
        (0, 1, "-X", (40, 170, 190)),
        (1, 1, "-Y", (180, 60, 170)),
        (2, 1, "+X", (210, 50, 40)),
        (3, 1, "+Y", (60, 180, 70)),
        (1, 2, "+Z", (50, 80, 210)),
        (1, 0, "-Z", (225, 165, 30)),
    ]
    border = 8
    for col, row, label, colour in faces:
        x0, y0 = col * cell, row * cell
        dark = tuple(c * 0.55 for c in colour)
        pic.fill_rect(x0, y0, x0 + cell, y0 + cell, dark)
        pic.fill_rect(x0 + border, y0 + border, x0 + cell - border, y0 + cell - border, colour)
        pic.text(label, x0 + cell // 2, y0 + cell // 2, 8, (250, 250, 250))
    return pic


def brick_normals():
    """Running-bond bricks 64 x 32 with 4-pixel mortar; the brick edges are
    bevelled and every brick leans a little its own way."""
    pic = Picture(256, 256)
    brick_w, brick_h, mortar, bevel = 64, 32, 4, 5
    for y in range(256):
        course = y // brick_h
        for x in range(256):
            shifted = x + (brick_w // 2 if course % 2 else 0)
            bx, by = shifted % brick_w, y % brick_h
            if bx < mortar or by < mortar:
                pic.set(x, y, encode_normal(0, 0, 1))
                continue
            brick = shifted // brick_w
            nx = (hashed(brick, course) - 0.5) * 0.12
            ny = (hashed(course, brick) - 0.5) * 0.12
            left, right = bx - mortar, brick_w - 1 - bx
            bottom, top = by - mortar, brick_h - 1 - by
            if left < bevel:
                nx -= 0.6
            elif right < bevel:
                nx += 0.6
            if bottom < bevel:
                ny -= 0.6
            elif top < bevel:
                ny += 0.6
            pic.set(x, y, encode_normal(nx, ny, 1))
    return pic


def scale_normals():
    """Rounded bumps on a 32-pixel grid, for the preview mesh."""
    pic = Picture(256, 256)
    period = 32.0
    for y in range(256):
        for x in range(256):
            u = 2 * math.pi * x / period
            v = 2 * math.pi * y / period
            # Slopes of the height sin(u) * sin(v).
            dx = math.cos(u) * math.sin(v) * 0.5
            dy = math.sin(u) * math.cos(v) * 0.5
            pic.set(x, y, encode_normal(-dx, -dy, 1))
    return pic


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "preview")
    outputs = {
        "texture/PLANE_1.bmp": floor_tiles,
        "texture/BOX_1.bmp": cube_cross,
        "texture/brick-normal.bmp": brick_normals,
        "Data/TyraNormals.bmp": scale_normals,
    }
    for name, make in outputs.items():
        path = os.path.normpath(os.path.join(root, name))
        make().save(path)
        print("wrote", path)


if __name__ == "__main__":
    main()
