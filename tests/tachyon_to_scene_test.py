#!/usr/bin/env python3
"""Tests of bench/peer/tachyon_to_scene.py. Usage: tachyon_to_scene_test.py
[RAYTRACER]; with our ray tracer's path it also renders a converted scene."""
import collections
import math
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
CONVERTER = os.path.join(HERE, "..", "bench", "peer", "tachyon_to_scene.py")
sys.path.insert(0, os.path.dirname(CONVERTER))
import tachyon_reader  # noqa: E402
import tachyon_textures  # noqa: E402
import tachyon_to_scene  # noqa: E402

RAYTRACER = sys.argv.pop(1) if len(sys.argv) > 1 else None

SCENE = """BEGIN_SCENE
  RESOLUTION 200 100   # comments run to the end of the line
CAMERA
  ZOOM 2.0 ASPECTRATIO 1.0 ANTIALIASING 0 RAYDEPTH 4
  CENTER 1 2 3 VIEWDIR 0 0 1 UPDIR 0 1 0
END_CAMERA
BACKGROUND 0.1 0.2 0.3
LIGHT CENTER 4 5 6 RAD 0.002 COLOR 0.5 0.5 0.5
light center -1 0 0 rad 0 color 1 1 1
TEXDEF t AMBIENT 0.1 DIFFUSE 0.6 SPECULAR 0.5 OPACITY 1
  PHONG PLASTIC 0.3 PHONG_SIZE 20 COLOR 1 0.5 0 TEXFUNC 0
TEXALIAS u t
SPHERE CENTER 1.5 0 -2 RAD 0.25 u
CYLINDER CENTER 0 0 0 AXIS 0 1 0 RAD 1 t
PLANE CENTER 0 -1 0 NORMAL 0 2 0
  TEXTURE AMBIENT 0 DIFFUSE 1 SPECULAR 0 OPACITY 0.25 COLOR 0 0 1 TEXFUNC 0
STRI V0 1 0 0 V1 0 1 0 V2 0 0 1 N0 1 0 0 N1 0 1 0 N2 0 0 1
  TEXTURE AMBIENT 1 DIFFUSE 0 SPECULAR 0 OPACITY 1 COLOR 1 1 1
  TEXFUNC 3 CENTER 0 0 0 ROTATE 0 0 0 SCALE 1 1 1
FCYLINDER BASE 1 0 0 APEX 1 2 0 RAD 0.5 t
FCylinder Base 1 0 0 Apex 1 0 0 Rad 0.5 t
ring center 0 1 0 normal 0 1 0 inner 0.5 outer 2 t
BOX MIN 1 0 0 MAX 2 1 1 t
POLYCYLINDER POINTS 3 0 0 0 1 0 0 1 1 0 RAD 0.25 t
END_SCENE
"""

T = ("pigment { color rgb <1, 0.5, 0> } finish { ambient 0.2 diffuse 0.9 "
     "specular 0.6 roughness 0.05 reflection 0.5 } }")
EXPECTED = [
    "camera { location <-1, 2, 3> up <0, 0.5, 0> right <-1, 0, 0> look_at <-1, 2, 4> }",
    "background { color rgb <0.1, 0.2, 0.3> }",
    "light_source { <-4, 5, 6> color rgb <0.5, 0.5, 0.5> }",
    "light_source { <1, 0, 0> color rgb <1, 1, 1> }",
    "sphere { <-1.5, 0, -2>, 0.25 " + T,
    "plane { <0, 1, 0>, -1 pigment { color rgbf <0, 0, 1, 0.75> } "
    "finish { ambient 0 diffuse 3 ior 1 refraction 1 } }",
    "smooth_triangle { <-1, 0, 0>, <-1, 0, 0>, <0, 1, 0>, <0, 1, 0>, <0, 0, 1>, <0, 0, 1> "
    "pigment { color rgb <1, 1, 1> } finish { ambient 1 diffuse 0 } }",
    "cylinder { <-1, 0, 0>, <-1, 2, 0>, 0.5 open " + T,
    "disc { <0, 1, 0>, <0, 1, 0>, 2, 0.5 " + T,
    "box { <-2, 0, 0>, <-1, 1, 1> " + T,
    "sphere { <0, 0, 0>, 0.25 " + T,
    "sphere { <-1, 0, 0>, 0.25 " + T,
    "sphere { <-1, 1, 0>, 0.25 " + T,
    "cylinder { <0, 0, 0>, <-1, 0, 0>, 0.25 open " + T,
    "cylinder { <-1, 0, 0>, <-1, 1, 0>, 0.25 open " + T,
]


class Conversion(unittest.TestCase):
    def test_statements_textures_and_camera(self):
        # Mirrored in x; window 1/2 high and 200/100 times that wide; diffuse
        # scaled by the lights' mean grey 0.75; local terms divided by the
        # local weight, opacity - reflection (0.5 for t, 0.25 for the plane).
        text, notes, counts = tachyon_to_scene.convert(SCENE)
        self.assertEqual([line for line in text.splitlines() if not line.startswith("//")],
                         EXPECTED)
        self.assertEqual(dict(counts), {"SPHERE": 1, "PLANE": 1, "STRI": 1, "FCYLINDER": 2,
                                        "RING": 1, "BOX": 1, "POLYCYLINDER": 1})
        self.assertEqual(set(notes), {
            "CYLINDER (not converted)",
            "RAYDEPTH (our depth is fixed)", "TEXFUNC 3 (plain colour kept)",
            "FCYLINDER without length or with a negative radius (dropped)"})

    def test_fog_spotlights_and_directional_lights(self):
        scene = SCENE.replace("BACKGROUND 0.1 0.2 0.3", """FOG EXP START 0 END 15 DENSITY 0.1
  COLOR 1 1 1
SpotLight Center 0 3 17 Rad 0.2 Direction 0 -2 0
  Falloff_Start 20 Falloff_End 45 Color 1 0 0
Directional_Light Direction 1 -1 0 Color 0.5 0.5 0.5""")
        text, notes, _ = tachyon_to_scene.convert(scene)
        self.assertIn("fog { distance 10 color rgb <1, 1, 1> }", text)
        self.assertIn("light_source { <0, 3, 17> color rgb <1, 0, 0> spotlight radius 20 "
                      "falloff 45 point_at <0, 2, 17> }", text)
        # Mirrored in x; the light comes from the opposite of its direction.
        self.assertIn("light_source { <0.707106781186547, 0.707106781186547, 0> color rgb "
                      "<0.5, 0.5, 0.5> parallel point_at <0, 0, 0> }", text)
        later = tachyon_to_scene.convert(scene.replace("START 0", "START 5"))
        self.assertIn("fog { distance 15 color rgb <1, 1, 1> }", later[0])
        linear = tachyon_to_scene.convert(scene.replace("FOG EXP", "FOG LINEAR"))
        self.assertIn("fog { distance 5 color", linear[0])
        self.assertIn("FOG LINEAR (as exponential fog)", linear[1])
        with self.assertRaises(tachyon_to_scene.ConversionError):
            tachyon_to_scene.convert(scene.replace("DENSITY 0.1", "DENSITY 0"))

    def test_size_from_the_command_line_sets_the_width(self):
        text, _, _ = tachyon_to_scene.convert(SCENE, (100, 100))
        self.assertIn("right <-0.5, 0, 0>", text)

    def test_bad_scenes_name_the_line_and_the_problem(self):
        cases = [
            (SCENE.replace("RAD 0.25 u", "RAD 0.25 v"), "line 13: unknown texture 'v'"),
            (SCENE.replace("RAD 0.25", "RAD abc"), "line 13: expected a number, found 'abc'"),
            (SCENE.replace("UPDIR 0 1 0", "UPDIR 0 0 2"),
             "line 3: VIEWDIR is zero or parallel to UPDIR"),
            (SCENE[:SCENE.index("V2 0 0 1")], "line 17: the scene ends in the middle"),
            (SCENE.replace("ZOOM 2.0", "ZOOOM 2.0"), "line 4: unknown camera keyword 'ZOOOM'"),
            ("BEGIN_SCENE END_SCENE", "the scene has no CAMERA"),
        ]
        for scene, message in cases:
            with self.assertRaises(tachyon_to_scene.ConversionError) as caught:
                tachyon_to_scene.convert(scene)
            self.assertIn(message, str(caught.exception))

    def test_command_line_reports_notes_and_leaves_no_output_on_error(self):
        with tempfile.TemporaryDirectory() as work:
            good, bad = os.path.join(work, "good.dat"), os.path.join(work, "bad.dat")
            with open(good, "w") as f:
                f.write(SCENE)
            with open(bad, "w") as f:
                f.write(SCENE.replace("RAD 0.25 u", "RAD 0.25 v"))
            out = os.path.join(work, "out.pov")
            done = subprocess.run([sys.executable, CONVERTER, good, out],
                                  capture_output=True, text=True)
            self.assertEqual(done.returncode, 0)
            self.assertIn(f"{good}: CYLINDER (not converted): 1", done.stderr)
            os.remove(out)
            done = subprocess.run([sys.executable, CONVERTER, bad, out],
                                  capture_output=True, text=True)
            self.assertEqual((done.returncode, done.stderr),
                             (1, f"{bad}: line 13: unknown texture 'v'\n"))
            self.assertEqual(sorted(os.listdir(work)), ["bad.dat", "good.dat"])


def texture_scene(texfunc, obj="PLANE CENTER 0 0 0 NORMAL 0 0 -1", before=""):
    return f"""BEGIN_SCENE RESOLUTION 8 8
CAMERA ZOOM 1 ASPECTRATIO 1 ANTIALIASING 0 RAYDEPTH 1
  CENTER 0 0 -1 VIEWDIR 0 0 1 UPDIR 0 1 0 END_CAMERA
{before}
{obj} TEXTURE AMBIENT 1 DIFFUSE 0 SPECULAR 0 OPACITY 1 COLOR 1 1 1
  TEXFUNC {texfunc}
END_SCENE"""


class FakePictures:
    """Records what the converter asks of the pictures."""

    def __init__(self):
        self.asked = []

    def png(self, source, bake):
        self.asked.append((source, bake))
        return f"p{len(self.asked)}.png"


def matrix(steps):
    """Our transform steps (translate, rotate in degrees about x, y, z, scale)
    as a function from pattern to world points, as the ray tracer composes them."""
    def turn(p, axis, degrees):
        a, b = (axis + 1) % 3, (axis + 2) % 3
        c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
        q = list(p)
        q[a], q[b] = c * p[a] - s * p[b], s * p[a] + c * p[b]
        return tuple(q)

    def apply(p):
        for word, v in steps:
            if word == "translate":
                p = tuple(x + y for x, y in zip(p, v))
            elif word == "scale":
                p = tuple(x * y for x, y in zip(p, v))
            else:
                for axis in range(3):
                    p = turn(p, axis, v[axis])
        return p
    return apply


class Textures(unittest.TestCase):
    def pigment(self, texfunc, **kw):
        pictures = FakePictures()
        text, notes, _ = tachyon_to_scene.convert(texture_scene(texfunc, **kw), None, "t",
                                                  pictures)
        lines = [line for line in text.splitlines() if "pigment" in line]
        return lines, notes, pictures.asked

    def test_checker_is_tachyons_third_unit_cubes_about_its_centre(self):
        lines, _, _ = self.pigment("1 CENTER 1 2 3 ROTATE 9 9 9 SCALE 5 5 5")
        # Mirrored in x; ROTATE, SCALE and COLOR are tachyon's to ignore.
        self.assertIn("pigment { checker color rgb <0, 0.2, 1> color rgb <1, 0.2, 0> "
                      "scale <0.333333333333333, 0.333333333333333, 0.333333333333333> "
                      "translate <-1.16666666666667, 1.83333333333333, 2.83333333333333> }",
                      lines[0])

    def test_planar_maps_lay_tachyons_u_and_v_where_it_does(self):
        # The pattern's x and y at a world point must be tachyon's u and v
        # there: u = s.x (d . UAXIS) + r.x, with d = point - CENTER (mirrored).
        cases = [((1, 0, 0), (0, 0, 1)), ((0, 0, -1), (0, -1, 0)), ((0, 2, 0), (1, 0, 1)),
                 ((0.6, 0.8, 0), (0, 0, 1))]
        for u_axis, v_axis in cases:
            func = tachyon_reader.TexFunc(9, "a.ppm", (1.0, -2.0, 0.5), (0.25, 0.5, 0),
                                          (2.0, -3.0, 1.0),
                                          {"UAXIS": u_axis, "VAXIS": v_axis})
            to_world = matrix(tachyon_textures.planar_steps(func, collections.Counter()))
            for pattern in ((0.0, 0.0, 0.0), (0.3, 0.7, 0.0), (-1.5, 2.0, 0.0)):
                d = [w - c for w, c in zip(to_world(pattern), func.center)]
                u = 2.0 * sum(a * b for a, b in zip(d, u_axis)) + 0.25
                v = -3.0 * sum(a * b for a, b in zip(d, v_axis)) + 0.5
                self.assertEqual((round(u, 9), round(v, 9)), pattern[:2], (u_axis, v_axis))

    def test_image_maps_name_their_picture_and_projection(self):
        lines, notes, asked = self.pigment(
            "9 a.ppm CENTER 0 0 0 ROTATE 0 0 0 SCALE 0.05 0.05 1 UAXIS 1 0 0 VAXIS 0 0 1")
        self.assertIn('pigment { image_map { png "p1.png" map_type 0 interpolate 2 } '
                      'scale <20, 20, 1> rotate <90, 0, 180> }', lines[0])
        self.assertEqual(asked, [("a.ppm", (1.0, 0.0, 1.0, 0.0))])
        # Cylindrical: the angle's scale and offset (a quarter turn behind
        # ours, mirrored) go into the picture, v into the transform.
        lines, _, asked = self.pigment("7 b.ppm CENTER 2 0 5 ROTATE 0.5 0.25 0 SCALE 3 -2 1",
                                       obj="SPHERE CENTER 2 0 5 RAD 1")
        self.assertIn('map_type 2 interpolate 2 } translate <0, -0.25, 0> scale <1, -0.5, 1> '
                      'translate <-2, 0, 5> }', lines[0])
        self.assertEqual(asked, [("b.ppm", (3.0, -0.25, 1.0, 0.0))])
        _, _, asked = self.pigment("8 c.ppm CENTER 0 0 0 ROTATE 0 0.5 0 SCALE 1 2 1",
                                   obj="SPHERE CENTER 0 0 0 RAD 1")
        self.assertEqual(asked, [("c.ppm", (1.0, -0.25, 2.0, 0.5))])
        _, notes, _ = self.pigment("8 c.ppm CENTER 0 0 0 ROTATE 0 0 0 SCALE 0 1 1",
                                   obj="SPHERE CENTER 0 0 0 RAD 1")
        self.assertIn("TEXFUNC 8 (a zero SCALE: plain colour kept)", notes)

    def test_imagedef_slices_become_pictures(self):
        before = ("IMAGEDEF ::p FORMAT RGB24 RESOLUTION 2 1 2 ENCODING HEX\n"
                  "  f00 0f0  0000ff 102030")
        _, _, asked = self.pigment(
            "10 ::p CENTER 0 0 0 ROTATE 0 0 0.5 SCALE 1 1 1 UAXIS 1 0 0 VAXIS 0 1 0",
            before=before)
        (picture, _), = asked
        # ROTATE's z picks the slice (w = 0.5 of 2 slices: the second).
        self.assertEqual((picture.width, picture.height, picture.pixels),
                         (2, 1, bytes([0, 0, 255, 16, 32, 48])))
        with self.assertRaises(tachyon_to_scene.ConversionError) as caught:
            self.pigment("0", before=before.replace("0000ff", "00zz"))
        self.assertIn("line 5: expected a pixel of 3 or 6 hex digits, found '00zz'",
                      str(caught.exception))

    def test_texture_functions_need_their_parameters_as_in_tachyon(self):
        # tachyon's own texture.dat writes "TEXFUNC 7" and "TEXFUNC 1" bare,
        # and tachyon rejects it; so does the converter, naming the line.
        for texfunc, message in (("7\nPLANE CENTER 0 -5 0 NORMAL 0 1 0 t",
                                  "line 7: TEXFUNC 7 needs an image file name, found 'PLANE'"),
                                 ("1\nSPHERE CENTER 0 0 0 RAD 1 t",
                                  "line 7: expected CENTER, found 'SPHERE'")):
            with self.assertRaises(tachyon_to_scene.ConversionError) as caught:
                self.pigment(texfunc)
            self.assertIn(message, str(caught.exception))

    def test_baked_pictures_turn_over_repeat_and_enlarge_small_ones(self):
        rows = bytes(i % 251 for i in range(3 * 64 * 2))  # 64 x 2, rows from the top
        width, height, pixels = tachyon_textures.baked(64, 2, rows, (1.0, 0.0, 1.0, 0.0))
        # Too small in height: enlarged 32 times, filtered as tachyon does.
        self.assertEqual((width, height), (64 * 32, 2 * 32))
        # Turned over: our top left is tachyon's bottom left, and our bottom
        # right its top right, within the filter's blend of a neighbour.
        for ours, theirs in ((pixels[:3], rows[192:195]), (pixels[-3:], rows[189:192])):
            self.assertTrue(all(abs(a - b) <= 2 for a, b in zip(ours, theirs)), (ours, theirs))
        wide = bytes(range(256)) * 3 * 64  # 256 x 64: nothing enlarged
        width, height, pixels = tachyon_textures.baked(256, 64, wide, (-2.0, 0.0, 1.0, 0.0))
        self.assertEqual((width, height), (512, 64))
        # Scaled by -2: our u = 1/4 shows tachyon's u = 1/2 run backwards.
        self.assertEqual(pixels[3 * 128:3 * 129], wide[3 * 127:3 * 128])

    def test_depth_of_field_is_tachyons_lens_in_focus_at_one(self):
        scene = SCENE.replace("ZOOM 2.0 ASPECTRATIO 1.0 ANTIALIASING 0",
                              "PROJECTION PERSPECTIVE_DOF FOCALLENGTH 0.75 APERTURE 0.02 "
                              "ZOOM 2.0 ASPECTRATIO 1.0 ANTIALIASING 32")
        text, notes, _ = tachyon_to_scene.convert(scene, (100, 100))
        # A window of 1/2 x 1/2: a lens of 0.01, 32 samples, focused 1 ahead.
        self.assertIn("look_at <-1, 2, 4> aperture 0.01 focal_point <-1, 2, 4> "
                      "blur_samples 32 }", text)
        self.assertIn("FOCALLENGTH (in focus at distance 1, as tachyon renders it)", notes)
        self.assertNotIn("ANTIALIASING (one ray per pixel)", notes)


@unittest.skipUnless(shutil.which("convert"), "no ImageMagick convert")
class PicturesOnDisk(unittest.TestCase):
    def test_tga_pictures_keep_their_bottom_row_first_as_tachyon_does(self):
        red, blue = bytes([0, 0, 255]), bytes([255, 0, 0])  # stored blue, green, red
        with tempfile.TemporaryDirectory() as work:
            pictures = tachyon_textures.Pictures(work, "s", work)
            for descriptor, first in ((0x20, blue), (0x00, red)):
                with open(os.path.join(work, "p.tga"), "wb") as f:
                    # 1 x 2, 24 bits, uncompressed; red stored first, on
                    # top (0x20) or at the bottom (0).
                    f.write(bytes([0, 0, 2] + [0] * 9 + [1, 0, 2, 0, 24, descriptor]) + red + blue)
                _, _, pixels = pictures.read("p.tga")
                self.assertEqual(pixels[:3], first[::-1], hex(descriptor))

    def test_pictures_go_beside_the_scene_and_go_away_on_error(self):
        with tempfile.TemporaryDirectory() as work:
            with open(os.path.join(work, "in.ppm"), "wb") as f:
                f.write(b"P6\n2 2\n255\n" + bytes(range(12)))
            scene = texture_scene("9 in.ppm CENTER 0 0 0 ROTATE 0 0 0 SCALE 1 1 1 "
                                  "UAXIS 1 0 0 VAXIS 0 1 0")
            good = os.path.join(work, "a b.dat")
            scene = scene.replace("END_SCENE", "SPHERE CENTER 0 0 0 RAD 1 TEXTURE AMBIENT 1 "
                                  "DIFFUSE 0 SPECULAR 0 OPACITY 1 COLOR 1 1 1 TEXFUNC 8 "
                                  "missing.ppm CENTER 0 0 0 ROTATE 0 0 0 SCALE 1 1 1\n")
            with open(good, "w") as f:
                f.write(scene)
            out = os.path.join(work, "out dir", "a b.pov")
            os.mkdir(os.path.dirname(out))
            done = subprocess.run([sys.executable, CONVERTER, good, out],
                                  capture_output=True, text=True)
            self.assertEqual(done.returncode, 0, done.stderr)
            self.assertIn("TEXFUNC 8 (no image file missing.ppm: plain colour kept): 1",
                          done.stderr)
            self.assertEqual(sorted(os.listdir(os.path.dirname(out))),
                             ["a b.pov", "a_b.tex0.png"])
            with open(out) as f:
                self.assertIn('png "a_b.tex0.png"', f.read())
            with open(good, "w") as f:
                f.write(scene + "SPHERE CENTER 0 0 0 RAD 1 nosuchtexture\n")
            os.remove(out)
            os.remove(os.path.join(os.path.dirname(out), "a_b.tex0.png"))
            done = subprocess.run([sys.executable, CONVERTER, good, out],
                                  capture_output=True, text=True)
            self.assertEqual(done.returncode, 1)
            self.assertEqual(os.listdir(os.path.dirname(out)), [])


@unittest.skipUnless(RAYTRACER, "no ray tracer given")
class Orientation(unittest.TestCase):
    def test_the_picture_is_not_mirrored(self):
        # Tachyon, looking along +z with +y up, shows x = +2 right of the
        # centre and y = +2 above it; so must the converted scene.
        scene = """BEGIN_SCENE RESOLUTION 40 20
CAMERA ZOOM 1 ASPECTRATIO 1 ANTIALIASING 0 RAYDEPTH 1
  CENTER 0 0 -5 VIEWDIR 0 0 1 UPDIR 0 1 0 END_CAMERA
TEXDEF red AMBIENT 1 DIFFUSE 0 SPECULAR 0 OPACITY 1 COLOR 1 0 0 TEXFUNC 0
TEXDEF green AMBIENT 1 DIFFUSE 0 SPECULAR 0 OPACITY 1 COLOR 0 1 0 TEXFUNC 0
SPHERE CENTER 2 0 0 RAD 0.5 red
SPHERE CENTER 0 1.5 0 RAD 0.5 green
END_SCENE"""
        with tempfile.TemporaryDirectory() as work:
            path = os.path.join(work, "o.pov")
            with open(path, "w") as f:
                f.write(tachyon_to_scene.convert(scene)[0])
            subprocess.run([RAYTRACER, "+W40", "+H20", "+I" + path], check=True,
                           stdout=subprocess.DEVNULL)
            with open(os.path.join(work, "o.ppm"), "rb") as f:
                pixels = f.read()[-40 * 20 * 3:]
        red = {(i % 40, i // 40) for i in range(800) if pixels[3 * i] > 128}
        green = {(i % 40, i // 40) for i in range(800) if pixels[3 * i + 1] > 128}
        self.assertTrue(red and all(x >= 20 and 5 <= y < 15 for x, y in red), red)
        self.assertTrue(green and all(y < 10 and 15 <= x < 25 for x, y in green), green)


if __name__ == "__main__":
    unittest.main()
