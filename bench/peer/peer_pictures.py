#!/usr/bin/env python3
"""Renders tachyon's example scenes with both programs and puts each pair
side by side (ours left, tachyon right) as a PNG, for the docs.

Usage: peer_pictures.py [--binary RAYTRACER] [--size N] [--out DIR] [NAME ...]

Each scene is converted by tachyon_to_scene.py into a temporary folder, with
its pictures, and rendered at N x N (default 256) by ours and by tachyon
(one thread each; tachyon from the scenes' folder, where its image files
are). texture.dat is rendered as a repaired copy: tachyon 0.99 rejects it,
since its TEXFUNC 7 names no image and none of its texture functions gives
CENTER, ROTATE and SCALE; the copy gives the sphere 2balls.dat's brick map
and the others their objects' centres. Needs tachyon and its example scenes
(apt-get install tachyon-bin-nox tachyon-doc) and ImageMagick's convert.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

import tachyon_textures
import tachyon_to_scene

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
SCENES = ["dnadof", "texture", "imagedef", "room", "spotlight", "fog", "balls"]
REPAIRS = {"texture": [
    ("TEXFUNC 7", "TEXFUNC 7 imaps/rufbrik.ppm CENTER 0 0 5 ROTATE 0 0 0 SCALE 3 -3 1"),
    ("TEXFUNC  1", "TEXFUNC 1 CENTER 0 -5 0 ROTATE 0 0 0 SCALE 1 1 1"),
    ("TEXFUNC  3", "TEXFUNC 3 CENTER 0 0 15 ROTATE 0 0 0 SCALE 1 1 1")]}


def pair(args, name, work):
    with open(os.path.join(args.scene_dir, name + ".dat"), encoding="latin-1") as f:
        text = f.read()
    for old, new in REPAIRS.get(name, []):
        text = text.replace(old, new)
    dat = os.path.join(work, name + ".dat")
    with open(dat, "w") as f:
        f.write(text)
    pictures = tachyon_textures.Pictures(work, name, args.scene_dir)
    scene, notes, _ = tachyon_to_scene.convert(text, (args.size, args.size), name + ".dat",
                                               pictures)
    pov = os.path.join(work, name + ".pov")
    with open(pov, "w") as f:
        f.write(scene)
    env = dict(os.environ, OMP_NUM_THREADS="1")
    subprocess.run([args.binary, f"+W{args.size}", f"+H{args.size}", "+I" + pov],
                   stdout=subprocess.DEVNULL, env=env, check=True)
    tga = os.path.join(work, name + ".tga")
    subprocess.run(["tachyon", dat, "-numthreads", "1", "-res", str(args.size),
                    str(args.size), "-o", tga], cwd=args.scene_dir,
                   stdout=subprocess.DEVNULL, check=True)
    if not os.path.exists(tga):
        raise RuntimeError(f"tachyon drew no image of {name}")
    out = os.path.join(args.out, name + ".png")
    subprocess.run(["convert", os.path.join(work, name + ".ppm"), "-size",
                    f"4x{args.size}", "xc:white", tga, "+append", "-define",
                    "png:exclude-chunks=date,time", out], check=True)
    listed = "; ".join(f"{note} {n}" for note, n in sorted(notes.items()))
    print(f"{out}: {listed or 'everything converted'}")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("names", nargs="*", default=SCENES)
    parser.add_argument("--binary", default=os.path.join(REPO, "build", "src", "raytracer"))
    parser.add_argument("--size", type=int, default=256)
    parser.add_argument("--out", default=os.path.join(REPO, "docs", "peer_effects"))
    parser.add_argument("--scene-dir", default="/usr/share/doc/tachyon/examples/scenes")
    args = parser.parse_args(argv)
    if not (shutil.which("tachyon") and shutil.which("convert")
            and os.path.isdir(args.scene_dir)):
        print("peer_pictures: skipped: needs tachyon, its example scenes and ImageMagick "
              "(apt-get install tachyon-bin-nox tachyon-doc imagemagick)")
        return 0
    args.binary = os.path.abspath(args.binary)
    os.makedirs(args.out, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="peer_pictures.") as work:
        for name in args.names:
            pair(args, name, work)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
