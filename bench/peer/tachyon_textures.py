"""Tachyon's texture functions as our pigments, for tachyon_to_scene.py.

Measured on tachyon 0.99 (d is the hit point less CENTER, in tachyon's
coordinates; SCALE s and ROTATE r act on the texture coordinates u and v,
u' = u s.x + r.x and v' = v s.y + r.y, which then repeat with period 1):
- 1, the 3D checker: cubes of 1/3 centred on CENTER, blue (0, 0.2, 1) where
  the three cube indices add up to an even number, orange (1, 0.2, 0) where
  odd; COLOR, ROTATE and SCALE are ignored.
- 7, cylindrical image map: u = atan2(d.z, d.x) / 2pi about the y axis,
  v = d.y. 8, spherical: the same u, v = 1 - acos(d.y / |d|) / pi.
- 9, planar: u = d . UAXIS, v = d . VAXIS (the axes as written, not made
  unit length). 10, volume: the same from the IMAGEDEF's slice at
  w = d . WAXIS s.z + r.z.
- The image's column is u times its width and its row v times its height,
  counted from the top; COLOR is ignored. So tachyon shows a picture upside
  down where ours (top row at v = 1) shows it upright: every picture is
  turned over as it is written. A TGA, whose rows tachyon keeps from the
  bottom up (as its header says where they start), it shows upright.
Ours gets v (and, in a plane, u) from a pigment transform; the angle that
gives u about an axis cannot be scaled by one, so a scaled u (and a
spherical v) is baked into the picture: column c of our picture shows
tachyon's picture at u' = frac(s u + r) with u = (c + 1/2) / width.
"""
import math
import os
import re
import shutil
import subprocess

from vec3 import cross, dot, mirror, unit

CHECKER = "checker color rgb <0, 0.2, 1> color rgb <1, 0.2, 0>"
MAP_TYPES = {7: 2, 8: 1, 9: 0, 10: 0}
# A picture narrower than this (in pixels) is enlarged as tachyon filters it.
SMALL = 64


class PictureError(Exception):
    pass


def fmt(x):
    return "%.15g" % (x + 0.0)


def vec(v):
    return "<" + ", ".join(fmt(x) for x in v) + ">"


def euler_degrees(columns):
    """rotate <a, b, c> (about x, then y, then z) that turns the x, y and z
    axes onto the three given orthonormal columns."""
    m = [[columns[j][i] for j in range(3)] for i in range(3)]
    b = math.asin(max(-1.0, min(1.0, -m[2][0])))
    if abs(m[2][0]) < 1 - 1e-12:
        a = math.atan2(m[2][1], m[2][2])
        c = math.atan2(m[1][0], m[0][0])
    else:  # the x axis turns onto +-z: one of a and c is free
        a = 0.0
        c = math.atan2(-m[0][1], m[1][1])
    return tuple(round(math.degrees(x), 10) for x in (a, b, c))


def transforms_text(steps):
    """Our transform words for steps of (word, vector), identities left out."""
    identity = {"translate": (0, 0, 0), "rotate": (0, 0, 0), "scale": (1, 1, 1)}
    return "".join(f" {word} {vec(v)}" for word, v in steps
                   if tuple(v) != identity[word])


def planar_steps(func, notes):
    """The steps that carry our picture's unit square (x = u, y = v) to
    where tachyon lays it: the inverse of u = s.x (d . U) + r.x and
    v = s.y (d . V) + r.y."""
    u_axis = func.axes.get("UAXIS", mirror((1.0, 0.0, 0.0)))
    v_axis = func.axes.get("VAXIS", (0.0, 1.0, 0.0))
    if "UAXIS" not in func.axes or "VAXIS" not in func.axes:
        notes[f"TEXFUNC {func.number} without UAXIS and VAXIS (x and y taken)"] += 1
    u_len, v_len = math.sqrt(dot(u_axis, u_axis)), math.sqrt(dot(v_axis, v_axis))
    if u_len == 0 or v_len == 0 or func.scale[0] == 0 or func.scale[1] == 0:
        raise PictureError("a zero UAXIS, VAXIS or SCALE")
    u_dir = unit(u_axis)
    v_dir = unit(tuple(v - u * dot(v_axis, u_dir) for v, u in zip(v_axis, u_dir)))
    if abs(dot(unit(u_axis), unit(v_axis))) > 1e-9:
        notes[f"TEXFUNC {func.number} with slanted axes (VAXIS made square to UAXIS)"] += 1
    if dot(v_dir, v_dir) == 0:
        raise PictureError("UAXIS and VAXIS are parallel")
    frame = (u_dir, v_dir, cross(u_dir, v_dir))  # a turn: right-handed
    return [("translate", (-func.rotate[0], -func.rotate[1], 0)),
            ("scale", (1 / (func.scale[0] * u_len), 1 / (func.scale[1] * v_len), 1)),
            ("rotate", euler_degrees(frame)), ("translate", func.center)]


class Pictures:
    """Writes the pictures a scene's textures need as PNG files into folder
    (beside the converted scene), named after stem, with ImageMagick's
    convert; file names in the scene are looked up from scene_dir."""

    def __init__(self, folder, stem, scene_dir):
        self.folder, self.scene_dir = folder, scene_dir
        self.stem = re.sub(r"[^A-Za-z0-9_.-]", "_", stem)
        self.written = {}  # (source, bake) -> file name
        self.convert = shutil.which("convert")

    def remove(self):
        for name in self.written.values():
            path = os.path.join(self.folder, name)
            if os.path.exists(path):
                os.remove(path)
        self.written.clear()

    def png(self, source, bake):
        """The name of our picture for source (a file name or an IMAGEDEF
        Picture) under bake = (u scale, u offset, v scale, v offset)."""
        key = (source, bake)
        if key not in self.written:
            if self.convert is None:
                raise PictureError("ImageMagick's convert is not installed")
            width, height, pixels = self.read(source)
            name = f"{self.stem}.tex{len(self.written)}.png"
            self.write(os.path.join(self.folder, name), *baked(width, height, pixels, bake))
            self.written[key] = name
        return self.written[key]

    def read(self, source):
        if not isinstance(source, str):
            size = source.width * source.height * 3
            return source.width, source.height, source.pixels[:size]
        path = os.path.join(self.scene_dir, source)
        if not os.path.isfile(path):
            raise PictureError(f"no image file {source}")
        done = subprocess.run([self.convert, path + "[0]", "-auto-orient", "-depth", "8", "-format",
                               "%w %h\n", "-write", "info:-", "rgb:-"], capture_output=True)
        size, _, pixels = done.stdout.partition(b"\n")
        try:
            width, height = (int(n) for n in size.split())
        except ValueError:
            width = height = 0
        if done.returncode != 0 or width < 1 or len(pixels) != width * height * 3:
            raise PictureError(f"convert cannot read {source}")
        if path.lower().endswith(".tga"):
            # Tachyon keeps a TGA's bottom row first (as the file's header
            # says, where a PPM's top row comes first): turned over here,
            # it comes out upright in the end, as tachyon shows it.
            line = width * 3
            pixels = b"".join(pixels[i:i + line] for i in range(len(pixels) - line, -1, -line))
        return width, height, pixels

    def write(self, path, width, height, pixels):
        done = subprocess.run([self.convert, "-size", f"{width}x{height}", "-depth", "8",
                               "rgb:-", "-define", "png:exclude-chunks=date,time", "png:" + path],
                              input=pixels, capture_output=True)
        if done.returncode != 0:
            raise PictureError(f"convert cannot write {path}: "
                               f"{done.stderr.decode(errors='replace').strip()}")


def baked(width, height, pixels, bake):
    """Our picture showing at (u, v) tachyon's at u' = frac(su u + ou),
    v' = frac(sv v + ov), rows from the top in both, with as many columns
    and rows as the repeats need: the nearest pixels of a picture of some
    size; a small one is enlarged as tachyon filters it, from pixel centres
    at u' = 0 and 1 (no blend across its edges), for ours to filter again."""
    su, ou, sv, ov = bake
    grow = max(1, math.ceil(SMALL / min(width, height)))
    out_w = width * grow * max(1, math.ceil(abs(su) - 1e-9))
    out_h = height * grow * max(1, math.ceil(abs(sv) - 1e-9))
    us = [(su * (c + 0.5) / out_w + ou) % 1.0 for c in range(out_w)]
    vs = [(sv * (1 - (r + 0.5) / out_h) + ov) % 1.0 for r in range(out_h)]
    if grow == 1:
        columns = [3 * min(width - 1, int(u * width)) for u in us]
        out = bytearray()
        for v in vs:
            row = min(height - 1, int(v * height))
            line = pixels[row * width * 3:(row + 1) * width * 3]
            for column in columns:
                out += line[column:column + 3]
        return out_w, out_h, bytes(out)
    out = bytearray()
    for v in vs:
        y = v * (height - 1)
        y0, fy = int(y), y - int(y)
        y1 = min(height - 1, y0 + 1)
        for u in us:
            x = u * (width - 1)
            x0, fx = int(x), x - int(x)
            x1 = min(width - 1, x0 + 1)
            corners = [3 * (y * width + x) for y in (y0, y1) for x in (x0, x1)]
            for k in range(3):
                top = pixels[corners[0] + k] * (1 - fx) + pixels[corners[1] + k] * fx
                low = pixels[corners[2] + k] * (1 - fx) + pixels[corners[3] + k] * fx
                out.append(int(top * (1 - fy) + low * fy + 0.5))
    return out_w, out_h, bytes(out)


def pigment_text(func, pictures, pictures_by_name, notes):
    """Our pigment for a texture function, or None to keep the plain colour."""
    number = func.number
    if number == 1:
        sixth = 1.0 / 6.0
        steps = [("scale", (1 / 3, 1 / 3, 1 / 3)),
                 ("translate", tuple(c - sixth for c in func.center))]
        return f"pigment {{ {CHECKER}{transforms_text(steps)} }}"
    if number not in MAP_TYPES:
        notes[f"TEXFUNC {number} (plain colour kept)"] += 1
        return None
    su, sv = func.scale[0], func.scale[1]
    ru, rv = func.rotate[0], func.rotate[1]
    source = func.image
    if number == 10:
        source = pictures_by_name.get(func.image)
        if source is None:
            notes[f"TEXFUNC 10 {func.image} (no such IMAGEDEF: plain colour kept)"] += 1
            return None
        w_axis = func.axes.get("WAXIS", (0.0, 0.0, 0.0))
        if dot(w_axis, w_axis) > 0:
            notes["TEXFUNC 10 WAXIS (one slice shown)"] += 1
        index = min(source.depth - 1, int((func.rotate[2] % 1.0) * source.depth))
        size = source.width * source.height * 3
        source = source._replace(depth=1, pixels=source.pixels[index * size:(index + 1) * size])
    try:
        if number in (9, 10):
            steps = planar_steps(func, notes)
            bake = (1.0, 0.0, 1.0, 0.0)
        else:
            if su == 0 or (number == 7 and sv == 0):
                raise PictureError("a zero SCALE")
            # Mirrored, tachyon's angle runs a quarter turn behind ours.
            bake = (su, ru - 0.25 * su) + ((1.0, 0.0) if number == 7 else (sv, rv))
            steps = [("translate", (0, -rv, 0)), ("scale", (1, 1 / sv, 1))] if number == 7 else []
            steps.append(("translate", func.center))
        name = pictures.png(source, bake)
    except PictureError as error:
        notes[f"TEXFUNC {number} ({error}: plain colour kept)"] += 1
        return None
    return (f'pigment {{ image_map {{ png "{name}" map_type {MAP_TYPES[number]} '
            f"interpolate 2 }}{transforms_text(steps)} }}")


def lens_text(camera, window_width, window_height, notes):
    """Our focal blur for tachyon's PERSPECTIVE_DOF camera. Tachyon 0.99
    focuses at distance 1 whatever FOCALLENGTH says, its lens spans APERTURE
    times the window (at distance 1) along each side, and it takes
    ANTIALIASING samples a pixel. Ours is round: the geometric mean."""
    aperture = camera.get("APERTURE", 0.0) * math.sqrt(window_width * window_height)
    if camera.get("FOCALLENGTH", 1.0) != 1.0:
        notes["FOCALLENGTH (in focus at distance 1, as tachyon renders it)"] += 1
    if abs(window_width - window_height) > 1e-9 * window_height:
        notes["APERTURE on a window that is not square (a round lens)"] += 1
    samples = int(min(1024, max(1, camera.get("ANTIALIASING", 1))))
    focus = tuple(e + v for e, v in zip(camera["CENTER"], unit(camera["VIEWDIR"])))
    return f" aperture {fmt(aperture)} focal_point {vec(focus)} blur_samples {samples}"

