#!/usr/bin/env python3
"""Writes an OBJ model of ours: a torus with vertex normals on a flat
hexagonal pedestal, with two materials in an MTL library beside it.

Usage: tools/make_obj_model.py OUT.obj [--triangles N] [--no-pedestal]

--triangles N sizes the torus to about N triangles (the benchmark's
smooth model of 1,000,000); the default is a small gallery model. The
output is the same bytes on every run."""
import argparse
import math
import os


def torus(rings, sides, major=1.0, minor=0.35):
    """Positions and unit normals of a torus about the y axis, lying on y = 0."""
    points, normals = [], []
    for i in range(rings):
        u = 2 * math.pi * i / rings
        cu, su = math.cos(u), math.sin(u)
        for j in range(sides):
            v = 2 * math.pi * j / sides
            cv, sv = math.cos(v), math.sin(v)
            points.append(((major + minor * cv) * cu, minor * sv + minor, (major + minor * cv) * su))
            normals.append((cv * cu, sv, cv * su))
    return points, normals


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--triangles", type=int, default=0)
    parser.add_argument("--no-pedestal", action="store_true")
    args = parser.parse_args()

    if args.triangles:
        # rings * sides * 2 triangles, with rings = 2 * sides.
        sides = max(3, int(math.sqrt(args.triangles / 4)))
        rings = 2 * sides
    else:
        rings, sides = 48, 24
    points, normals = torus(rings, sides)
    base = os.path.splitext(os.path.basename(args.out))[0]
    mtl = base + ".mtl"
    with open(args.out, "w") as out:
        out.write("# torus on a pedestal, written by tools/make_obj_model.py\n")
        out.write("mtllib %s\n" % mtl)
        for p in points:
            out.write("v %.6f %.6f %.6f\n" % p)
        for n in normals:
            out.write("vn %.6f %.6f %.6f\n" % n)
        out.write("usemtl gold\n")
        for i in range(rings):
            for j in range(sides):
                a = i * sides + j + 1
                b = ((i + 1) % rings) * sides + j + 1
                c = ((i + 1) % rings) * sides + (j + 1) % sides + 1
                d = i * sides + (j + 1) % sides + 1
                out.write("f %d//%d %d//%d %d//%d\n" % (a, a, d, d, c, c))
                out.write("f %d//%d %d//%d %d//%d\n" % (a, a, c, c, b, b))
        if not args.no_pedestal:
            # A flat hexagon as one polygon: a fan when read, flat shaded.
            first = len(points) + 1
            for k in range(6):
                angle = 2 * math.pi * k / 6
                out.write("v %.6f %.6f %.6f\n" % (1.8 * math.cos(angle), -0.02, 1.8 * math.sin(angle)))
            out.write("usemtl slate\n")
            out.write("f " + " ".join(str(first + k) for k in reversed(range(6))) + "\n")
    with open(os.path.join(os.path.dirname(args.out) or ".", mtl), "w") as out:
        out.write("# materials of %s, written by tools/make_obj_model.py\n" % base)
        out.write("newmtl gold\nNs 60\nKa 1 1 1\nKd 0.85 0.6 0.15\nKs 0.6 0.55 0.4\n"
                  "Ke 0 0 0\nNi 1.45\nd 1\nillum 2\n")
        out.write("newmtl slate\nNs 10\nKa 1 1 1\nKd 0.25 0.3 0.4\nKs 0.1 0.1 0.1\nillum 1\n")


if __name__ == "__main__":
    main()
