#!/usr/bin/env python3
"""Tests of bench/peer/tachyon_to_scene.py. Usage: tachyon_to_scene_test.py
[RAYTRACER]; with our ray tracer's path it also renders a converted scene."""
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
CONVERTER = os.path.join(HERE, "..", "bench", "peer", "tachyon_to_scene.py")
sys.path.insert(0, os.path.dirname(CONVERTER))
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
  TEXFUNC 1 CENTER 0 0 0 ROTATE 0 0 0 SCALE 1 1 1
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
            "RAYDEPTH (our depth is fixed)", "TEXFUNC 1 (plain colour kept)",
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
