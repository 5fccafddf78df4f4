#!/usr/bin/env python3
"""Writes the preview's mesh, preview/Data/Tyra.obj, and its material library
preview/Data/Tyra.mtl.

Tyra is a stylised two-legged dinosaur: a smooth union of ellipsoids and
tapered capsules, described as a signed distance field and polygonised with
surface nets on a regular grid. Every grid cell the surface passes through
gets one vertex, moved onto the surface; every grid edge the surface crosses
gets a quad of the four cells around it, split into two triangles. Normals are
the field's gradient, texture coordinates a side projection (x, z) scaled
into 0..1. The model stands on z = 0 with z up and looks along +x.

Standard library only; the output is the same on every run.

usage: make_tyra_mesh.py [OUTPUT_DIR]   (default: preview/Data of this repository)
"""

import math
import os
import sys

CELL = 0.02  # grid spacing; sets the number of faces (a few thousand)
LOW = (-0.78, -0.17, -0.03)  # grid box, a little larger than the model
HIGH = (0.56, 0.17, 0.62)
BLEND = 0.035  # width of the smooth joins between parts


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def length(a):
    return math.sqrt(dot(a, a))


def ellipsoid(center, radii):
    """Approximate distance to an axis-aligned ellipsoid."""
    def field(p):
        q = [(p[i] - center[i]) / radii[i] for i in range(3)]
        return (math.sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2]) - 1.0) * min(radii)
    return field


def capsule(a, b, ra, rb):
    """Segment a-b thickened from radius ra at a to rb at b."""
    ab = sub(b, a)
    ab2 = dot(ab, ab)

    def field(p):
        h = max(0.0, min(1.0, dot(sub(p, a), ab) / ab2))
        closest = (a[0] + ab[0] * h, a[1] + ab[1] * h, a[2] + ab[2] * h)
        return length(sub(p, closest)) - (ra + (rb - ra) * h)
    return field


def flip(p):
    return (p[0], -p[1], p[2])


def pair_of_ellipsoids(center, radii):
    """The ellipsoid and its mirror image across the y = 0 plane."""
    return [ellipsoid(center, radii), ellipsoid(flip(center), radii)]


def pair_of_capsules(a, b, ra, rb):
    return [capsule(a, b, ra, rb), capsule(flip(a), flip(b), ra, rb)]


def smooth_min(a, b, k):
    h = max(k - abs(a - b), 0.0) / k
    return min(a, b) - h * h * k * 0.25


def build_parts():
    parts = [
        ellipsoid((0.0, 0.0, 0.35), (0.21, 0.105, 0.125)),  # body
        ellipsoid((0.10, 0.0, 0.39), (0.10, 0.085, 0.09)),  # chest
        capsule((0.14, 0.0, 0.40), (0.25, 0.0, 0.47), 0.065, 0.055),  # neck
        ellipsoid((0.32, 0.0, 0.50), (0.11, 0.062, 0.068)),  # skull
        ellipsoid((0.41, 0.0, 0.485), (0.075, 0.047, 0.042)),  # snout
        ellipsoid((0.36, 0.0, 0.438), (0.085, 0.042, 0.026)),  # lower jaw
        capsule((-0.17, 0.0, 0.36), (-0.34, 0.0, 0.375), 0.095, 0.065),  # tail
        capsule((-0.34, 0.0, 0.375), (-0.50, 0.0, 0.35), 0.065, 0.04),
        capsule((-0.50, 0.0, 0.35), (-0.72, 0.0, 0.30), 0.04, 0.02),
    ]
    parts += pair_of_ellipsoids((0.335, 0.052, 0.53), (0.02, 0.018, 0.018))  # brows
    parts += pair_of_ellipsoids((-0.03, 0.085, 0.29), (0.10, 0.05, 0.12))  # thighs
    parts += pair_of_capsules((-0.02, 0.09, 0.22), (-0.09, 0.095, 0.075), 0.042, 0.03)  # shins
    parts += pair_of_capsules((-0.09, 0.095, 0.075), (-0.02, 0.095, 0.03), 0.03, 0.026)
    parts += pair_of_ellipsoids((0.035, 0.095, 0.022), (0.075, 0.04, 0.022))  # feet
    parts += pair_of_capsules((0.15, 0.085, 0.32), (0.20, 0.10, 0.27), 0.024, 0.02)  # arms
    parts += pair_of_capsules((0.20, 0.10, 0.27), (0.245, 0.09, 0.29), 0.02, 0.016)
    return parts


PARTS = build_parts()


def field(p):
    d = PARTS[0](p)
    for part in PARTS[1:]:
        d = smooth_min(d, part(p), BLEND)
    # Nothing below the ground: the feet stand flat on z = 0.
    return max(d, -p[2])


def gradient(p):
    e = 1e-4
    g = (field((p[0] + e, p[1], p[2])) - field((p[0] - e, p[1], p[2])),
         field((p[0], p[1] + e, p[2])) - field((p[0], p[1] - e, p[2])),
         field((p[0], p[1], p[2] + e)) - field((p[0], p[1], p[2] - e)))
    n = length(g)
    return (g[0] / n, g[1] / n, g[2] / n) if n > 0 else (0.0, 0.0, 1.0)


def polygonise():
    counts = [int(math.ceil((HIGH[i] - LOW[i]) / CELL)) for i in range(3)]
    nx, ny, nz = counts

    def point(i, j, k):
        return (LOW[0] + i * CELL, LOW[1] + j * CELL, LOW[2] + k * CELL)

    values = {}
    for i in range(nx + 1):
        for j in range(ny + 1):
            for k in range(nz + 1):
                values[(i, j, k)] = field(point(i, j, k))

    corners = [(a, b, c) for a in (0, 1) for b in (0, 1) for c in (0, 1)]
    cell_edges = [(u, v) for u in range(8) for v in range(u + 1, 8)
                  if sum(abs(corners[u][d] - corners[v][d]) for d in range(3)) == 1]

    # One vertex per cell the surface passes through.
    vertex_of = {}
    vertices = []
    for i in range(nx):
        for j in range(ny):
            for k in range(nz):
                f = [values[(i + a, j + b, k + c)] for (a, b, c) in corners]
                if min(f) >= 0 or max(f) < 0:
                    continue
                crossings = []
                for u, v in cell_edges:
                    if (f[u] < 0) != (f[v] < 0):
                        t = f[u] / (f[u] - f[v])
                        pu = point(i + corners[u][0], j + corners[u][1], k + corners[u][2])
                        pv = point(i + corners[v][0], j + corners[v][1], k + corners[v][2])
                        crossings.append(tuple(pu[d] + (pv[d] - pu[d]) * t for d in range(3)))
                p = tuple(sum(c[d] for c in crossings) / len(crossings) for d in range(3))
                lo = point(i, j, k)
                for _ in range(2):  # onto the surface, staying in the cell
                    g = gradient(p)
                    d = field(p)
                    p = tuple(min(max(p[a] - d * g[a], lo[a]), lo[a] + CELL) for a in range(3))
                vertex_of[(i, j, k)] = len(vertices)
                vertices.append(p)

    # One quad per crossed grid edge, from the four cells around it.
    triangles = []
    for (i, j, k), f0 in values.items():
        for axis in range(3):
            step = [0, 0, 0]
            step[axis] = 1
            other = (i + step[0], j + step[1], k + step[2])
            if other not in values or (f0 < 0) == (values[other] < 0):
                continue
            a1, a2 = [a for a in range(3) if a != axis]
            cells = []
            for d1, d2 in ((0, 0), (1, 0), (1, 1), (0, 1)):
                c = [i, j, k]
                c[a1] -= d1
                c[a2] -= d2
                cells.append(vertex_of.get(tuple(c)))
            if None in cells:
                continue
            # The cells in this order wind about +axis (-axis for y); turn the
            # quad so it winds about the outward direction, from the inside
            # end of the edge to the outside end.
            if (axis != 1) != (f0 < 0):
                cells.reverse()
            q = [vertices[c] for c in cells]
            # Split along the shorter diagonal.
            if length(sub(q[0], q[2])) <= length(sub(q[1], q[3])):
                pair = ((cells[0], cells[1], cells[2]), (cells[0], cells[2], cells[3]))
            else:
                pair = ((cells[0], cells[1], cells[3]), (cells[1], cells[2], cells[3]))
            for tri in pair:
                a, b, c = (vertices[t] for t in tri)
                if length(cross(sub(b, a), sub(c, a))) > 1e-12:
                    triangles.append(tri)
    return vertices, triangles


def compact(vertices, triangles):
    """Drops the vertices no triangle uses and renumbers from 1."""
    used = sorted({v for tri in triangles for v in tri})
    number = {old: new + 1 for new, old in enumerate(used)}
    return [vertices[v] for v in used], [tuple(number[v] for v in tri) for tri in triangles]


def write_obj(path, vertices, triangles):
    xs = [v[0] for v in vertices]
    zs = [v[2] for v in vertices]
    x0, x1, z0, z1 = min(xs), max(xs), min(zs), max(zs)
    lines = [
        "# Tyra, a stylised dinosaur for the preview window.",
        "# Made by tools/make_tyra_mesh.py; z is up, the head looks along +x.",
        "# %d vertices, %d triangles." % (len(vertices), len(triangles)),
        "mtllib Tyra.mtl",
        "o Tyra",
    ]
    lines += ["v %.5f %.5f %.5f" % v for v in vertices]
    lines += ["vt %.5f %.5f" % ((v[0] - x0) / (x1 - x0), (v[2] - z0) / (z1 - z0))
              for v in vertices]
    lines += ["vn %.4f %.4f %.4f" % gradient(v) for v in vertices]
    lines.append("usemtl tyra_skin")
    lines += ["f %d/%d/%d %d/%d/%d %d/%d/%d" % (a, a, a, b, b, b, c, c, c)
              for a, b, c in triangles]
    with open(path, "w", newline="\n") as out:
        out.write("\n".join(lines) + "\n")


def write_mtl(path):
    text = """# Tyra's material, made by tools/make_tyra_mesh.py.
newmtl tyra_skin
Ka 0.15 0.18 0.10
Kd 0.45 0.60 0.30
Ks 0.20 0.20 0.20
Ns 24
illum 2
d 1
"""
    with open(path, "w", newline="\n") as out:
        out.write(text)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "preview", "Data")
    os.makedirs(out_dir, exist_ok=True)
    vertices, triangles = compact(*polygonise())
    write_obj(os.path.join(out_dir, "Tyra.obj"), vertices, triangles)
    write_mtl(os.path.join(out_dir, "Tyra.mtl"))
    print("Tyra: %d vertices, %d triangles" % (len(vertices), len(triangles)))


if __name__ == "__main__":
    main()
