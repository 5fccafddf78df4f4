#!/usr/bin/env python3
"""Converts a tachyon scene (.dat) into our scene language.

Usage: tachyon_to_scene.py IN.dat OUT.pov [--width W --height H]

The image size (default: the scene's RESOLUTION) sets the window's width.
Image textures become PNG files beside OUT.pov (OUT.tex0.png, ...), written
with ImageMagick's convert from the files the scene names (relative to the
scene's folder) or its IMAGEDEF pictures.
What was left out or approximated goes to standard error, one line per kind
with a count. Bad input stops the conversion with a message naming the file
and line, exit status 1, and no output file.

What maps to what:
- Handedness: tachyon's screen x runs along UPDIR x VIEWDIR, ours along
  view x up, so the picture would come out mirrored. The converter mirrors
  the whole scene instead (every x coordinate negated), which gives the same
  picture.
- CAMERA: CENTER is our location, look_at is CENTER + VIEWDIR. ZOOM z makes
  a window of height 1/z at distance 1 (our |up|); ASPECTRATIO a divides the
  width, which is height * W / (H * a) (our |right|). `up` is UPDIR made
  perpendicular to the view. ANTIALIASING above 0, RAYDEPTH (ours is fixed),
  PROJECTION other than PERSPECTIVE and FRUSTUM are reported and dropped.
- LIGHT CENTER c RAD r COLOR k: light_source { c color rgb k }. The radius
  (tachyon draws the light as a tiny sphere) is dropped; ATTENUATION is
  reported and dropped.
- SPHERE, PLANE (our d is NORMAL . CENTER with the normal made unit length),
  TRI, STRI as a smooth_triangle, FCYLINDER as an open cylinder (tachyon's
  have no end discs), RING as a disc with a hole, BOX as a box, and
  POLYCYLINDER as open cylinders between its points with a sphere at each.
  Shapes that have no size (a cylinder of zero length, a ring of zero
  normal) are reported and dropped.
- Textures (TEXDEF, TEXALIAS, inline TEXTURE): COLOR is the pigment;
  SPECULAR (tachyon's mirror term) is our reflection; PHONG PLASTIC p
  PHONG_SIZE e is our specular p with roughness 1/e (both are half-vector
  highlights in the light's colour). PHONG METAL tints the highlight with the
  surface colour in tachyon; ours stays the light's colour (reported).
  AMBIENT and DIFFUSE are ours, with two corrections so that the shading
  comes out the same: our diffuse term ignores the light's colour, so DIFFUSE
  is multiplied by the lights' mean grey level; and tachyon adds the mirrored
  and transmitted colours on top of the local shading where ours blends them
  in (tachyon's default transparency mode keeps the local shading whole),
  so ambient, diffuse and specular are divided by our local weight,
  opacity - reflection, when that is positive.
- OPACITY o below 1: pigment rgbf with filter 1 - o and finish ior 1
  refraction 1 (light passes straight through, as in tachyon). Our
  transparent objects cast full shadows.
- BACKGROUND: background. FOG: fog, which is exponential from the eye in
  our language where tachyon's EXP fog starts at START: EXP and EXP2
  START s DENSITY d give distance s + 1/d, which agrees with tachyon's fog
  1/d past START and everywhere when s is 0 (nearer, ours is foggier;
  farther, clearer); LINEAR leaves 5% at END (both reported).
- SPOTLIGHT: a light with spotlight radius FALLOFF_START falloff
  FALLOFF_END pointing along DIRECTION. DIRECTIONAL_LIGHT: a parallel light
  travelling along DIRECTION.
- TEXFUNC 1, tachyon's 3D checker (its own blue and orange, in cubes of
  1/3 centred on CENTER): pigment checker with a scale of 1/3 and a
  translate inside the pigment's braces.
- TEXFUNC 7, 8, 9 (cylindrical, spherical and planar image maps) and 10
  (a volume picture from an IMAGEDEF, shown as its slice at w = ROTATE's z,
  which is exact when WAXIS is zero): image_map with map_type 2, 1 or 0
  and interpolate 2, placed by a transform inside the pigment's braces
  (tachyon_textures.py has the measured formulas; tachyon shows a PPM
  picture upside down, so it is turned over). Approximate: where tachyon
  scales the angle of a cylindrical or spherical map or the height of a
  spherical one, the picture is resampled (nearest pixel) with the scale
  and offset baked in; tachyon filters from
  pixel centres at the picture's edges with no blend across them where ours
  blends round, so a picture under 64 pixels is enlarged as tachyon filters
  it; tachyon's MIP-mapping of distant texture is not done (ours aliases
  there); VAXIS not square to UAXIS is made square. A missing picture, a
  zero SCALE or axis, or no ImageMagick keeps the plain colour (reported).
  A TEXFUNC without CENTER, ROTATE and SCALE (and an image map without a
  file name) is an error, as in tachyon.
- CAMERA PROJECTION PERSPECTIVE_DOF: aperture, focal_point and
  blur_samples. Tachyon 0.99 focuses at distance 1 along VIEWDIR whatever
  FOCALLENGTH says (reported when it is not 1), which is our focal_point;
  its lens spans APERTURE times the window at distance 1 along each side,
  ours is round with the geometric mean of the two (exact for a square
  window; reported otherwise); ANTIALIASING n is n lens samples a pixel
  (1 to 1024).
- Reported and skipped: the other texture functions (the plain colour is
  kept), TRANSMODE, OUTLINE, other lights and objects (infinite cylinders,
  landscapes, volumes, ...), INCLUDE.
"""
import argparse
import collections
import os
import sys

import tachyon_textures
from tachyon_reader import ConversionError, Reader
from vec3 import cross, dot, scaled, sub, unit


def fmt(x):
    # 15 digits keep every number as the scene wrote it and round away the
    # last bits of our own arithmetic; + 0.0 turns -0 into 0.
    return "%.15g" % (x + 0.0)


def vec(v):
    return "<" + ", ".join(fmt(x) for x in v) + ">"


def camera_text(camera, width, height, notes):
    eye, view, updir = camera["CENTER"], camera["VIEWDIR"], camera["UPDIR"]
    window_height = 1.0 / camera["ZOOM"]
    window_width = window_height * width / (height * camera["ASPECTRATIO"])
    forward = unit(view)
    up = unit(sub(updir, scaled(forward, dot(updir, forward))))
    right = unit(cross(forward, up))
    look_at = tuple(e + v for e, v in zip(eye, view))
    lens = ""
    if camera.get("PROJECTION") == "PERSPECTIVE_DOF":
        lens = tachyon_textures.lens_text(camera, window_width, window_height, notes)
    elif camera.get("ANTIALIASING", 0) > 0:
        notes["ANTIALIASING (one ray per pixel)"] += 1
    return (f"camera {{ location {vec(eye)} up {vec(scaled(up, window_height))} "
            f"right {vec(scaled(right, window_width))} look_at {vec(look_at)}{lens} }}")


def modifiers(texture, grey, pigment=None):
    local = texture.opacity - texture.specular
    weight = 1.0 / local if local > 0 else 1.0
    items = [f"ambient {fmt(texture.ambient * weight)}",
             f"diffuse {fmt(texture.diffuse * grey * weight)}"]
    if texture.phong > 0:
        items.append(f"specular {fmt(texture.phong * weight)}")
        items.append(f"roughness {fmt(1.0 / texture.phong_size)}")
    if texture.specular > 0:
        items.append(f"reflection {fmt(texture.specular)}")
    if texture.opacity < 1:
        items.append("ior 1 refraction 1")
        colour = (f"color rgbf <{', '.join(fmt(c) for c in texture.color)}, "
                  f"{fmt(1.0 - texture.opacity)}>")
    else:
        colour = f"color rgb {vec(texture.color)}"
    return f"{pigment or f'pigment {{ {colour} }}'} finish {{ {' '.join(items)} }}"


def light_text(center, color, extra):
    if isinstance(extra, tuple):  # a spotlight: its angles and aim
        inner, outer, at = extra
        extra = f"spotlight radius {fmt(inner)} falloff {fmt(outer)} point_at {vec(at)}"
    tail = " " + extra if extra else ""
    return f"light_source {{ {vec(center)} color rgb {vec(color)}{tail} }}"


def cylinder_text(base, apex, radius, finish):
    return f"cylinder {{ {vec(base)}, {vec(apex)}, {fmt(radius)} open {finish} }}"


def object_text(keyword, geometry, finish, notes):
    """Our statements for one object, as lines; none for a shape without size."""
    if keyword == "SPHERE":
        return [f"sphere {{ {vec(geometry[0])}, {fmt(geometry[1])} {finish} }}"]
    if keyword == "PLANE":
        return [f"plane {{ {vec(geometry[0])}, {fmt(geometry[1])} {finish} }}"]
    if keyword == "STRI":
        corners = ", ".join(f"{vec(geometry[i])}, {vec(geometry[i + 3])}" for i in range(3))
        return [f"smooth_triangle {{ {corners} {finish} }}"]
    if keyword == "FCYLINDER":
        base, apex, radius = geometry
        if base == apex or radius < 0:
            notes["FCYLINDER without length or with a negative radius (dropped)"] += 1
            return []
        return [cylinder_text(base, apex, radius, finish)]
    if keyword == "RING":
        center, normal, outer, inner = geometry
        if dot(normal, normal) == 0 or outer < 0 or inner < 0:
            notes["RING without normal or with a negative radius (dropped)"] += 1
            return []
        return [f"disc {{ {vec(center)}, {vec(normal)}, {fmt(outer)}, {fmt(inner)} {finish} }}"]
    if keyword == "BOX":
        return [f"box {{ {vec(geometry[0])}, {vec(geometry[1])} {finish} }}"]
    if keyword == "POLYCYLINDER":
        points, radius = geometry
        if radius < 0:
            notes["POLYCYLINDER with a negative radius (dropped)"] += 1
            return []
        lines = [f"sphere {{ {vec(p)}, {fmt(radius)} {finish} }}" for p in points]
        lines += [cylinder_text(a, b, radius, finish)
                  for a, b in zip(points, points[1:]) if a != b]
        return lines
    return [f"triangle {{ {', '.join(vec(v) for v in geometry)} {finish} }}"]


def texture_pigment(texture, pictures, by_name, notes):
    if texture.func is None:
        return None
    if pictures is None and texture.func.number in tachyon_textures.MAP_TYPES:
        notes[f"TEXFUNC {texture.func.number} (no pictures written: plain colour kept)"] += 1
        return None
    return tachyon_textures.pigment_text(texture.func, pictures, by_name, notes)


def keep_first_words(reader):
    """Leaves in reader only what the first version of our language could
    say, so that an earlier build can be timed on the same scene: smooth
    triangles flat, other new shapes dropped, no background, fog, lens,
    light modifiers or textures. Reports each."""
    def left_out(what, count=1):
        if count:
            reader.notes[f"{what} (left out for the earlier version)"] += count
    left_out("BACKGROUND", reader.background is not None)
    left_out("FOG", reader.fog is not None)
    left_out("PERSPECTIVE_DOF", reader.camera.get("PROJECTION") == "PERSPECTIVE_DOF")
    left_out("SPOTLIGHT and DIRECTIONAL_LIGHT", sum(1 for light in reader.lights if light[2]))
    reader.background = reader.fog = None
    reader.camera["PROJECTION"] = "PERSPECTIVE"
    reader.lights = [(center, color, "") for center, color, _ in reader.lights]
    plain = {}  # one plain texture for each shared one, so they stay shared
    objects = []
    for keyword, geometry, texture in reader.objects:
        if keyword not in ("SPHERE", "PLANE", "TRI", "STRI", "BOX"):
            left_out(keyword)
            continue
        if texture.func is not None and id(texture) not in plain:
            left_out(f"TEXFUNC {texture.func.number}")
            plain[id(texture)] = texture._replace(func=None)
        if keyword == "STRI":
            left_out("STRI normals")
            keyword, geometry = "TRI", geometry[:3]
        objects.append((keyword, geometry, plain.get(id(texture), texture)))
    reader.objects = objects


def convert(text, size=None, name="scene", pictures=None, first_words=False):
    """Returns (our scene text, notes Counter, object counts Counter). The
    image maps' pictures go through pictures (a tachyon_textures.Pictures);
    without it they keep their plain colour. first_words keeps to the first
    version of our language."""
    reader = Reader(text)
    reader.read()
    if first_words:
        keep_first_words(reader)
    width, height = size or reader.resolution
    if width <= 0 or height <= 0:
        raise ConversionError(f"bad image size {width}x{height}")
    grey = (sum(sum(color) / 3 for _, color, _ in reader.lights) / len(reader.lights)
            if reader.lights else 1.0)
    lines = [f"// {name} converted from tachyon's format for a {width}x{height} image,",
             "// mirrored in x so that it looks the same in our right-handed camera.",
             camera_text(reader.camera, width, height, reader.notes)]
    if reader.background is not None:
        lines.append(f"background {{ color rgb {vec(reader.background)} }}")
    if reader.fog is not None:
        lines.append(f"fog {{ distance {fmt(reader.fog[0])} color rgb {vec(reader.fog[1])} }}")
    lines += [light_text(*light) for light in reader.lights]
    finishes = {}
    counts = collections.Counter()
    for keyword, geometry, texture in reader.objects:
        if id(texture) not in finishes:
            finishes[id(texture)] = modifiers(texture, grey, texture_pigment(
                texture, pictures, reader.pictures, reader.notes))
        lines += object_text(keyword, geometry, finishes[id(texture)], reader.notes)
        counts[keyword] += 1
    return "\n".join(lines) + "\n", reader.notes, counts


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("scene")
    parser.add_argument("output")
    parser.add_argument("--width", type=int)
    parser.add_argument("--height", type=int)
    args = parser.parse_args(argv)
    if (args.width is None) != (args.height is None):
        parser.error("give both --width and --height, or neither")
    size = (args.width, args.height) if args.width is not None else None
    folder = os.path.dirname(os.path.abspath(args.output))
    pictures = tachyon_textures.Pictures(
        folder, os.path.splitext(os.path.basename(args.output))[0],
        os.path.dirname(os.path.abspath(args.scene)))
    try:
        with open(args.scene, encoding="latin-1") as f:
            text, notes, _ = convert(f.read(), size, os.path.basename(args.scene), pictures)
    except OSError as error:
        pictures.remove()
        sys.stderr.write(f"{args.scene}: {error.strerror}\n")
        return 1
    except ConversionError as error:
        pictures.remove()
        sys.stderr.write(f"{args.scene}: {error}\n")
        return 1
    for note, count in sorted(notes.items()):
        sys.stderr.write(f"{args.scene}: {note}: {count}\n")
    partial = args.output + ".part"
    try:
        with open(partial, "w") as f:
            f.write(text)
        os.replace(partial, args.output)
    except OSError as error:
        if os.path.exists(partial):
            os.remove(partial)
        pictures.remove()
        sys.stderr.write(f"{args.output}: {error.strerror}\n")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
