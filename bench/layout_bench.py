#!/usr/bin/env python3
"""Whether two threads scale the same whatever the memory layout.

The same scene is rendered under file names of several lengths: the name is
kept in the program's memory (on the heap once it is too long for the string
itself, and among the arguments on the stack), so each length moves the
objects allocated after it. Each binary renders each name with one and two
threads, the runs interleaved so that a busy machine slows them alike, and the
table gives the fastest render time of each (the tracing alone, as the
program reports it), the two-thread speed-up and, per binary, the spread: the
slowest two-thread time over the fastest. On a machine shared with other work,
`chrt -f 10 bench/layout_bench.py ...` keeps the others off the cores for the
runs' short while.

    bench/layout_bench.py [--runs N] [--size WxH] [--objects N] [BINARY...]

BINARY defaults to build/src/raytracer; several (say the build before and
after a change) are compared side by side. A layout where the threads write
to cache lines that the others read shows as one name length much slower at
two threads while the one-thread times stay level.
"""
import argparse
import itertools
import os
import random
import re
import subprocess
import sys
import tempfile

NAME_LENGTHS = (1, 4, 8, 11, 12, 16, 20, 28, 40)


def scene_text(count, seed=7):
    """Small spheres and triangles in a slab over a floor, two coloured
    lights, a mirror sphere and a glass sphere."""
    rng = random.Random(seed)
    finish = "finish { ambient 0.1 diffuse 0.6 specular 0.3 roughness 0.05 }"
    lines = [
        "camera { location <0, 6, 18> up <0, 1, 0> right <1.333333, 0, 0> look_at <0, 1, 0> }",
        "light_source { <-10, 15, 10> color rgb <1, 0.9, 0.8> }",
        "light_source { <12, 10, 6> color rgb <0.4, 0.5, 1> }",
        "plane { <0, 1, 0>, -1 pigment { color rgb <0.8, 0.8, 0.8> } "
        "finish { ambient 0.1 diffuse 0.7 } }",
        "sphere { <-3, 1.5, 3>, 1.5 pigment { color rgb <1, 1, 1> } "
        "finish { ambient 0 diffuse 0.1 specular 0.5 reflection 1 } }",
        "sphere { <3, 1.5, 4>, 1.5 pigment { color rgbf <1, 1, 1, 0.9> } "
        "finish { ambient 0 diffuse 0.1 specular 0.6 roughness 0.02 refraction 1 ior 1.5 } }",
    ]
    size = 1.2 * (1000.0 / max(count, 1)) ** (1 / 3.0)
    for i in range(count):
        x, y, z = rng.uniform(-9, 9), rng.uniform(-0.5, 5), rng.uniform(-12, 2)
        colour = "%.3f, %.3f, %.3f" % (rng.random(), rng.random(), rng.random())
        if i % 4 == 0:
            lines.append("sphere { <%.4f, %.4f, %.4f>, %.4f pigment { color rgb <%s> } %s }"
                         % (x, y, z, 0.5 * size, colour, finish))
        else:
            corners = ", ".join("<%.4f, %.4f, %.4f>" % (x + rng.uniform(-size, size),
                                                         y + rng.uniform(-size, size),
                                                         z + rng.uniform(-size, size))
                                for _ in range(3))
            lines.append("triangle { %s pigment { color rgb <%s> } %s }"
                         % (corners, colour, finish))
    return "\n".join(lines) + "\n"


def render_seconds(binary, folder, scene, size, threads):
    """The render's own time, from the figures a batch render prints at its
    end when standard error is a terminal: the rays over the rays per second,
    both to three digits, which is finer than the seconds it prints. Reading
    the scene and writing the image, which one thread does, are left out."""
    env = dict(os.environ, OMP_NUM_THREADS=str(threads))
    width, height = size.split("x")
    terminal, stderr = os.openpty()
    child = subprocess.Popen([binary, "+W" + width, "+H" + height, "+I" + scene, "+O/dev/null"],
                             cwd=folder, env=env, stdout=subprocess.DEVNULL, stderr=stderr)
    os.close(stderr)
    printed = b""
    while True:
        try:
            chunk = os.read(terminal, 4096)
        except OSError:  # the child has closed the terminal
            break
        if not chunk:
            break
        printed += chunk
    os.close(terminal)
    figures = re.search(rb"([0-9.]+)([kM]?) rays in [0-9.]+ s, ([0-9.]+)([kM]?) rays/s", printed)
    if child.wait() != 0 or not figures:
        sys.exit("%s failed on %s (status %d)" % (binary, scene, child.returncode))
    scale = {b"": 1.0, b"k": 1e3, b"M": 1e6}
    rays = float(figures.group(1)) * scale[figures.group(2)]
    return rays / (float(figures.group(3)) * scale[figures.group(4)])


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--size", default="1280x960")
    parser.add_argument("--objects", type=int, default=1000)
    parser.add_argument("binaries", nargs="*")
    args = parser.parse_args()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    binaries = [os.path.abspath(b) for b in args.binaries] or \
        [os.path.join(root, "build", "src", "raytracer")]
    for binary in binaries:
        if not os.access(binary, os.X_OK):
            sys.exit("no program at %s: build the project first" % binary)

    with tempfile.TemporaryDirectory(prefix="layout_bench.") as folder:
        text = scene_text(args.objects)
        scenes = {}
        for length in NAME_LENGTHS:
            # Relative, so that the shortest names fit in the string itself.
            scenes[length] = "n" * length + ".pov"
            with open(os.path.join(folder, scenes[length]), "w") as out:
                out.write(text)
        best = {}
        for _ in range(args.runs):
            for key in itertools.product(range(len(binaries)), NAME_LENGTHS, (1, 2)):
                seconds = render_seconds(binaries[key[0]], folder, scenes[key[1]], args.size,
                                         key[2])
                best[key] = min(best.get(key, seconds), seconds)

    load = " ".join("%.2f" % l for l in os.getloadavg())
    print("layout_bench: %s, %d objects, render times, best of %d runs; "
          "load average %s at the end\n" % (args.size, args.objects, args.runs, load))
    print("| binary | name length | 1 thread (s) | 2 threads (s) | 2 vs 1 |")
    print("|---|---:|---:|---:|---:|")
    for b, length in itertools.product(range(len(binaries)), NAME_LENGTHS):
        one, two = best[(b, length, 1)], best[(b, length, 2)]
        print("| %s | %d | %.3f | %.3f | %.2fx |" % (binaries[b], length, one, two, one / two))
    print()
    for b, binary in enumerate(binaries):
        two = [best[(b, length, 2)] for length in NAME_LENGTHS]
        ratios = [best[(b, length, 1)] / best[(b, length, 2)] for length in NAME_LENGTHS]
        print("- %s: two-thread spread %.2fx (slowest %.3f s over fastest %.3f s); "
              "speed-up %.2fx to %.2fx" % (binary, max(two) / min(two), max(two), min(two),
                                           min(ratios), max(ratios)))


if __name__ == "__main__":
    main()
