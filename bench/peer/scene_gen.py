"""Generated scenes for the peer benchmark: random spheres written in both
scene languages (the loading case) and a mix of spheres and triangles in ours
(the million-object case). Numbers are written as a user would, six decimals,
with a pigment and a finish on every object; a fixed seed makes every run
read the same file."""
import random

# One finish for every object, and its equivalent in tachyon's terms (our
# specular s with the default roughness 1/20 is PHONG PLASTIC s PHONG_SIZE 20).
OUR_FINISH = "finish { ambient 0.1 diffuse 0.7 specular 0.3 }"
TACHYON_TEXTURE = ("TEXTURE AMBIENT 0.1 DIFFUSE 0.7 SPECULAR 0 OPACITY 1 "
                   "PHONG PLASTIC 0.3 PHONG_SIZE 20")


def _spheres(count, seed, extent):
    rng = random.Random(seed)
    for _ in range(count):
        yield (tuple(rng.uniform(-extent, extent) for _ in range(3)),
               rng.uniform(0.05, 0.3), tuple(rng.random() for _ in range(3)))


def _v(values):
    return ", ".join("%.6f" % x for x in values)


TACHYON_HEAD = ("BEGIN_SCENE\nRESOLUTION 2 2\nCAMERA\nZOOM 1.0\nASPECTRATIO 1.0\n"
                "ANTIALIASING 0\nRAYDEPTH 3\nCENTER 0 -60 0\nVIEWDIR 0 1 0\n"
                "UPDIR 0 0 1\nEND_CAMERA\nLIGHT CENTER 30 -80 50 RAD 0 COLOR 1 1 1\n")


def write_sphere_scenes(count, our_path, tachyon_path, shared_path, seed=1):
    """The same random spheres in our language, in tachyon's with a texture
    on every sphere (as ours), and in tachyon's with one shared texture
    (its leanest form); returns the three file sizes in bytes."""
    with open(our_path, "w") as ours, open(tachyon_path, "w") as theirs, \
            open(shared_path, "w") as shared:
        ours.write("camera { location <0, -60, 0> up <0, 0, 1> right <1, 0, 0> "
                   "look_at <0, 0, 0> }\n"
                   "light_source { <30, -80, 50> color rgb <1, 1, 1> }\n")
        theirs.write(TACHYON_HEAD)
        shared.write(TACHYON_HEAD + "TEXDEF t " + TACHYON_TEXTURE[len("TEXTURE "):] +
                     " COLOR 0.8 0.6 0.4 TEXFUNC 0\n")
        for center, radius, color in _spheres(count, seed, 20.0):
            ours.write(f"sphere {{ <{_v(center)}>, {radius:.6f} "
                       f"pigment {{ color rgb <{_v(color)}> }} {OUR_FINISH} }}\n")
            sphere = "SPHERE CENTER %s RAD %.6f" % (_v(center).replace(",", ""), radius)
            theirs.write("%s %s COLOR %s TEXFUNC 0\n" % (
                sphere, TACHYON_TEXTURE, _v(color).replace(",", "")))
            shared.write(sphere + " t\n")
        theirs.write("END_SCENE\n")
        shared.write("END_SCENE\n")
        return ours.tell(), theirs.tell(), shared.tell()


def write_mixed(count, path, seed=2):
    """count objects in our language, every other one a triangle, filling a
    cube of side 100 seen from outside under two lights; returns the file's
    size in bytes."""
    rng = random.Random(seed)
    with open(path, "w") as out:
        out.write("camera { location <0, -160, 40> up <0, 0, 0.75> right <1, 0, 0> "
                  "look_at <0, 0, 0> }\n"
                  "light_source { <-120, -200, 150> color rgb <1, 1, 1> }\n"
                  "light_source { <150, -100, 60> color rgb <0.5, 0.5, 0.6> }\n")
        for i, (center, radius, color) in enumerate(_spheres(count, seed, 50.0)):
            pigment = f"pigment {{ color rgb <{_v(color)}> }} {OUR_FINISH}"
            if i % 2:
                corners = [tuple(c + rng.uniform(-0.6, 0.6) for c in center)
                           for _ in range(3)]
                out.write("triangle { %s %s }\n" % (
                    ", ".join(f"<{_v(v)}>" for v in corners), pigment))
            else:
                out.write(f"sphere {{ <{_v(center)}>, {radius:.6f} {pigment} }}\n")
        return out.tell()
