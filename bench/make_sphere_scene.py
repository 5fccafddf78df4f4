#!/usr/bin/env python3
"""Writes a scene of N random spheres, each with a pigment and a finish, as a
user writes them, behind a camera and a light; about 160 bytes a sphere.

    bench/make_sphere_scene.py 100000 > /tmp/spheres100k.pov

With --tachyon the same spheres come out in the tachyon ray tracer's scene
format, for comparing load times with that program.
"""
import random
import sys


def spheres(count, seed=1):
    rng = random.Random(seed)
    for _ in range(count):
        centre = [rng.uniform(-50, 50) for _ in range(3)]
        radius = rng.uniform(0.05, 0.5)
        colour = [rng.random() for _ in range(3)]
        ambient, diffuse = rng.uniform(0, 0.3), rng.uniform(0.3, 1)
        yield centre, radius, colour, ambient, diffuse


def ours(count):
    out = sys.stdout
    out.write("camera { location <0, 0, 120> up <0, 1, 0> right <1.33, 0, 0> "
              "look_at <0, 0, 0> }\n")
    out.write("light_source { <100, 100, 100> color rgb <1, 1, 1> }\n")
    for (x, y, z), r, (cr, cg, cb), a, d in spheres(count):
        out.write(f"sphere {{ <{x:.6f}, {y:.6f}, {z:.6f}>, {r:.6f} "
                  f"pigment {{ color rgb <{cr:.6f}, {cg:.6f}, {cb:.6f}> }} "
                  f"finish {{ ambient {a:.6f} diffuse {d:.6f} }} }}\n")


def tachyon(count):
    out = sys.stdout
    out.write("BEGIN_SCENE\nRESOLUTION 1 1\n"
              "CAMERA ZOOM 1.0 ASPECTRATIO 1.0 ANTIALIASING 0 RAYDEPTH 3\n"
              "  CENTER 0 0 120 VIEWDIR 0 0 -1 UPDIR 0 1 0\nEND_CAMERA\n"
              "LIGHT CENTER 100 100 100 RAD 0.1 COLOR 1 1 1\n")
    for (x, y, z), r, (cr, cg, cb), a, d in spheres(count):
        out.write(f"SPHERE CENTER {x:.6f} {y:.6f} {z:.6f} RAD {r:.6f}\n"
                  f"  TEXTURE AMBIENT {a:.6f} DIFFUSE {d:.6f} SPECULAR 0 OPACITY 1\n"
                  f"  COLOR {cr:.6f} {cg:.6f} {cb:.6f} TEXFUNC 0\n")
    out.write("END_SCENE\n")


if __name__ == "__main__":
    args = [a for a in sys.argv[1:] if a != "--tachyon"]
    n = int(args[0]) if args else 100000
    (tachyon if "--tachyon" in sys.argv else ours)(n)
