#!/usr/bin/env python3
"""Tests of bench/peer_bench.py with a stand-in for tachyon and tiny scenes.
Usage: peer_bench_test.py RAYTRACER"""
import os
import subprocess
import sys
import tempfile
import unittest

RAYTRACER = sys.argv.pop(1) if len(sys.argv) > 1 else None
BENCH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "bench",
                     "peer_bench.py")
SCENE = """BEGIN_SCENE RESOLUTION 8 8
CAMERA ZOOM 1 ASPECTRATIO 1 ANTIALIASING 0 RAYDEPTH 3
  CENTER 0 0 -5 VIEWDIR 0 0 1 UPDIR 0 1 0 END_CAMERA
LIGHT CENTER 0 5 -5 RAD 0 COLOR 1 1 1
SPHERE CENTER 0 0 0 RAD 1 TEXTURE AMBIENT 0.1 DIFFUSE 0.9 SPECULAR 0 OPACITY 1
  COLOR 1 0 0 TEXFUNC 0
END_SCENE
"""
# Stands in for tachyon: writes 4 KB as the image named after -o unless
# $FAKE_IMAGE is "no", and exits with $FAKE_STATUS after a word on stderr.
FAKE = """#!/bin/sh
while [ $# -gt 0 ]; do [ "$1" = -o ] && out=$2; shift; done
[ "$FAKE_IMAGE" = no ] || head -c 4096 /dev/zero > "$out"
echo 'fake tachyon' >&2
exit ${FAKE_STATUS:-0}
"""


@unittest.skipUnless(RAYTRACER, "no ray tracer given")
class PeerBench(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.scenes = os.path.join(self.work.name, "scenes")
        os.mkdir(self.scenes)
        for name in ("balls", "tetra", "teapot", "gridtest"):
            with open(os.path.join(self.scenes, name + ".dat"), "w") as f:
                f.write(SCENE)
        tachyon = os.path.join(self.work.name, "tachyon")
        with open(tachyon, "w") as f:
            f.write(FAKE)
        os.chmod(tachyon, 0o755)

    def tearDown(self):
        self.work.cleanup()

    def bench(self, *args, status="0", image="yes", path=None):
        env = dict(os.environ, FAKE_STATUS=status, FAKE_IMAGE=image,
                   PATH=path or self.work.name + os.pathsep + os.environ["PATH"])
        return subprocess.run([sys.executable, BENCH, "--binary", RAYTRACER, "--runs", "2",
                               "--size", "8", "--scene-dir", self.scenes] + list(args),
                              capture_output=True, text=True, env=env)

    def test_prints_one_row_per_scene_and_thread_count_and_the_extra_cases(self):
        done = self.bench("--cases", "scenes,load,million", "--load-objects", "30",
                          "--million-objects", "40", "--million-size", "4x3")
        self.assertEqual(done.returncode, 0, done.stderr)
        for name in ("balls", "tetra", "teapot", "gridtest"):
            for threads in ("1", "2"):
                self.assertRegex(done.stdout, rf"\| {name}.dat \| 1 sphere \| {threads} \| "
                                 r"[0-9.]+ \| [0-9.]+ \| [0-9.]+ \|")
        self.assertIn("Loading 30 random spheres", done.stdout)
        number = r" [0-9.]+ \|"
        self.assertRegex(done.stdout, r"\| ours \|" + 6 * number)
        self.assertIn("40 objects (spheres and triangles", done.stdout)
        self.assertRegex(done.stdout, r"\| 4x3 \|" + 5 * number)
        self.assertIn("- balls.dat: 1 sphere; RAYDEPTH (our depth is fixed) 1", done.stdout)

    def test_a_baseline_adds_its_column_and_keeps_to_the_first_words(self):
        scene = os.path.join(self.scenes, "teapot.dat")
        with open(scene, "w") as f:
            f.write(SCENE.replace("END_SCENE", "BACKGROUND 0 0 1\nSTRI V0 0 0 0 V1 1 0 0 "
                                  "V2 0 1 0 N0 0 0 1 N1 0 0 1 N2 0 0 1 TEXTURE AMBIENT 1 "
                                  "DIFFUSE 0 SPECULAR 0 OPACITY 1 COLOR 1 1 1 TEXFUNC 0\n"
                                  "END_SCENE"))
        done = self.bench("--cases", "scenes,load", "--threads", "1", "--load-objects", "30",
                          "--baseline", RAYTRACER)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("| ours (s) | tachyon (s) | before (s) | ours / tachyon | ours / before |",
                      done.stdout)
        self.assertRegex(done.stdout, r"\| teapot.dat \| 1 sphere \+ 1 triangle \| 1 \|"
                         + 5 * r" [0-9.]+ \|")
        self.assertRegex(done.stdout, r"\| ours before \|" + 6 * r" [0-9.]+ \|")
        self.assertIn("BACKGROUND (left out for the earlier version) 1", done.stdout)
        self.assertIn("STRI normals (left out for the earlier version) 1", done.stdout)

    def test_a_failing_peer_shows_in_the_table_and_the_exit_status(self):
        # Tachyon exits with status 0 when it cannot read a scene: no image
        # is a failure too.
        for status, image, shown in (("3", "yes", "status 3"), ("0", "no", "no image")):
            done = self.bench("--cases", "scenes", "--threads", "1", status=status,
                              image=image)
            self.assertEqual(done.returncode, 1)
            self.assertIn(f"| failed ({shown}: fake tachyon) | - |", done.stdout)

    def test_skips_without_tachyon_or_its_scenes(self):
        for args, path in ((["--scene-dir", "/nonexistent"], None), ([], "/nonexistent")):
            done = self.bench(*args, path=path)
            self.assertEqual(done.returncode, 0)
            self.assertIn("skipped", done.stdout)
            self.assertIn("apt-get install tachyon-bin-nox tachyon-doc", done.stdout)

    def test_a_missing_binary_is_an_error(self):
        done = subprocess.run([sys.executable, BENCH, "--binary", "/nonexistent"],
                              capture_output=True, text=True)
        self.assertEqual((done.returncode, done.stdout), (2, ""))
        self.assertIn("no executable at /nonexistent", done.stderr)


if __name__ == "__main__":
    unittest.main()
