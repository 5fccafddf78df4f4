#!/usr/bin/python3
"""Writes the BMP files of the texture loader's tests with the tools people
use: ImageMagick's convert and Pillow (Debian's python3-pil; run it with the
system's python3). Every file shows the same 5 x 3 picture, whose pixel at
column x and row y (row 0 at the top) is

    red 40 x + 10, green 90 y + 20, blue 250 - 20 x - 60 y

so its rows are 15 bytes long and padded to 16 in the files. Run it in this
folder; the files are committed, so the tests need neither tool.
"""
import struct
import subprocess

from PIL import Image

WIDTH, HEIGHT = 5, 3


def pixel(x, y):
    return (40 * x + 10, 90 * y + 20, 250 - 20 * x - 60 * y)


def picture():
    image = Image.new("RGB", (WIDTH, HEIGHT))
    for y in range(HEIGHT):
        for x in range(WIDTH):
            image.putpixel((x, y), pixel(x, y))
    return image


def convert(*args):
    subprocess.run(["convert", "source.ppm", *args], check=True)


def header(path):
    """(info header size, width, height, bits per pixel) of a written file."""
    with open(path, "rb") as f:
        data = f.read(30)
    size, width, height, _, bpp = struct.unpack_from("<IiiHH", data, 14)
    return size, width, height, bpp


def top_down(source, target):
    """The same picture stored top row first, with a negative height: no
    common tool writes these, so the rows of Pillow's file are reordered."""
    with open(source, "rb") as f:
        data = bytearray(f.read())
    offset = struct.unpack_from("<I", data, 10)[0]
    stride = (WIDTH * 3 + 3) // 4 * 4
    rows = [data[offset + r * stride:offset + (r + 1) * stride] for r in range(HEIGHT)]
    data[offset:offset + HEIGHT * stride] = b"".join(reversed(rows))
    struct.pack_into("<i", data, 22, -HEIGHT)
    with open(target, "wb") as f:
        f.write(data)


def main():
    picture().save("source.ppm")
    convert("-type", "truecolor", "imagemagick_v5.bmp")  # the default header
    convert("-type", "truecolor", "-intent", "undefined", "imagemagick_v4.bmp")
    convert("-type", "truecolor", "BMP3:imagemagick_bmp3.bmp")
    convert("-type", "palette", "imagemagick_palette.bmp")
    convert("-alpha", "set", "imagemagick_alpha.bmp")
    picture().save("pillow.bmp")
    top_down("pillow.bmp", "top_down.bmp")
    subprocess.run(["rm", "source.ppm"], check=True)

    expected = {
        "imagemagick_v5.bmp": (124, 3, 24),
        "imagemagick_v4.bmp": (108, 3, 24),
        "imagemagick_bmp3.bmp": (40, 3, 24),
        "pillow.bmp": (40, 3, 24),
        "top_down.bmp": (40, -3, 24),
        "imagemagick_palette.bmp": (124, 3, 4),
        "imagemagick_alpha.bmp": (124, 3, 32),
    }
    for name, (size, height, bpp) in expected.items():
        assert header(name) == (size, WIDTH, height, bpp), (name, header(name))
        with Image.open(name) as image:
            assert list(image.convert("RGB").getdata()) == list(picture().getdata()), name


if __name__ == "__main__":
    main()
