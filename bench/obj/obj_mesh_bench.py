#!/usr/bin/env python3
"""OBJ model benchmark: a generated smooth model of --triangles triangles
(1,000,000 by default, a torus written by tools/make_obj_model.py with
vertex normals), measured side by side in one run, keeping the fastest of
--runs wall-clock times (ours and the peer taking turns) and the peak
memory (GNU time's maximum resident set) of each program:

- reading: our mesh library (objinfo, which reads the file as obj_mesh
  does) against tinyobj::LoadObj from Debian's libtinyobjloader-dev (a small
  program built here with c++); skipped with a message when absent;
- end to end: a 512x512 render of the model by ours (obj_mesh) and by
  tachyon (the same triangles written as its STRI smooth triangles), with 1
  and 2 threads; skipped with a message when tachyon is absent.

Usage: bench/obj/obj_mesh_bench.py [--build build] [--runs 3] [--triangles N]
Install the peers with: apt-get install libtinyobjloader-dev tachyon-bin-nox
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def run_once(command, env=None, cwd=None):
    """(seconds, peak MB) of one run of command."""
    timed = ["/usr/bin/time", "-f", "%e %M"] + command
    result = subprocess.run(timed, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                            env=env, cwd=cwd, text=True)
    if result.returncode != 0:
        sys.exit(f"failed: {' '.join(command)}\n{result.stderr[-2000:]}")
    seconds, kbytes = result.stderr.strip().splitlines()[-1].split()
    return float(seconds), int(kbytes) / 1024.0


def measure(commands, runs):
    """Per (command, env, cwd): (fastest seconds, largest peak MB) of runs,
    the commands taking turns so that both see the same load."""
    best = [(None, 0.0)] * len(commands)
    for _ in range(runs):
        for i, (command, env, cwd) in enumerate(commands):
            seconds, peak = run_once(command, env, cwd)
            fastest = seconds if best[i][0] is None else min(best[i][0], seconds)
            best[i] = (fastest, max(best[i][1], peak))
    return best


def write_tachyon_scene(obj, dat):
    """The model's faces as tachyon STRI triangles, with a camera and light
    like the obj_mesh scene's, mirrored in x as tachyon_to_scene.py does."""
    points, normals = [], []
    with open(obj) as src, open(dat, "w") as out:
        out.write("BEGIN_SCENE\nRESOLUTION 512 512\n"
                  "CAMERA ZOOM 1.0 ASPECTRATIO 1.0 ANTIALIASING 0 RAYDEPTH 6\n"
                  "  CENTER 0 2.5 3.5 VIEWDIR 0 -2.5 -3.5 UPDIR 0 1 0\nEND_CAMERA\n"
                  "LIGHT CENTER 6 10 8 RAD 0.01 COLOR 1 1 1\n"
                  "TEXDEF gold AMBIENT 0.1 DIFFUSE 1.0 SPECULAR 0.0 OPACITY 1.0\n"
                  "  PHONG PLASTIC 0.5 PHONG_SIZE 60 COLOR 0.85 0.6 0.15 TEXFUNC 0\n")
        for line in src:
            if line.startswith("v "):
                x, y, z = line.split()[1:4]
                points.append(f"{-float(x)} {y} {z}")
            elif line.startswith("vn "):
                x, y, z = line.split()[1:4]
                normals.append(f"{-float(x)} {y} {z}")
            elif line.startswith("f "):
                corners = [c.split("//") for c in line.split()[1:]]
                v = [points[int(c[0]) - 1] for c in corners]
                n = [normals[int(c[1]) - 1] for c in corners]
                out.write(f"STRI V0 {v[0]} V1 {v[1]} V2 {v[2]} "
                          f"N0 {n[0]} N1 {n[1]} N2 {n[2]} gold\n")
        out.write("END_SCENE\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--triangles", type=int, default=1000000)
    args = parser.parse_args()
    raytracer = os.path.join(args.build, "src", "raytracer")
    objinfo = os.path.join(args.build, "src", "objinfo")
    if not os.path.exists("/usr/bin/time"):
        sys.exit("needs GNU time: apt-get install time")
    work = tempfile.mkdtemp(prefix="obj_mesh_bench.")
    try:
        model = os.path.join(work, "model.obj")
        subprocess.run([sys.executable, os.path.join(ROOT, "tools", "make_obj_model.py"),
                        model, "--triangles", str(args.triangles), "--no-pedestal"], check=True)
        # objinfo reads material libraries strictly: drop the statement it
        # does not know.
        mtl = os.path.join(work, "model.mtl")
        with open(mtl) as f:
            kept = [line for line in f if not line.startswith("Ke ")]
        with open(mtl, "w") as f:
            f.writelines(kept)
        faces = sum(1 for line in open(model) if line.startswith("f "))
        size = os.path.getsize(model) / 1e6
        print(f"model: {faces} triangles with vertex normals, {size:.0f} MB")
        print(f"{'measure':32} {'ours s':>8} {'peer s':>8} {'ratio':>6} {'ours MB':>8} "
              f"{'peer MB':>8}")

        def row(name, ours, peer):
            print(f"{name:32} {ours[0]:8.2f} {peer[0]:8.2f} {ours[0] / peer[0]:6.2f} "
                  f"{ours[1]:8.0f} {peer[1]:8.0f}")

        if os.path.exists("/usr/include/tiny_obj_loader.h"):
            loader = os.path.join(work, "tinyobj_load")
            subprocess.run(["c++", "-O2", "-o", loader,
                            os.path.join(ROOT, "bench", "obj", "tinyobj_load.cpp"),
                            "-ltinyobjloader"], check=True)
            ours, peer = measure([([objinfo, model], None, None), ([loader, model], None, None)],
                                 args.runs)
            row("reading (objinfo vs LoadObj)", ours, peer)
        else:
            ours = measure([([objinfo, model], None, None)], args.runs)[0]
            print(f"reading: ours {ours[0]:.2f} s, {ours[1]:.0f} MB; tinyobj::LoadObj "
                  "skipped: apt-get install libtinyobjloader-dev")

        scene = os.path.join(work, "model.pov")
        with open(scene, "w") as out:
            out.write("camera { location <0, 2.5, 3.5> up <0, 1, 0> right <1, 0, 0> "
                      "look_at <0, 0, 0> }\n"
                      "light_source { <-6, 10, 8> color rgb <1, 1, 1> }\n"
                      "obj_mesh { \"model.obj\" }\n")
        tachyon = shutil.which("tachyon")
        dat = os.path.join(work, "model.dat")
        if tachyon:
            write_tachyon_scene(model, dat)
        # The mesh's own figure (its arrays and face tree), from our output.
        output = subprocess.run([raytracer, "+W8", "+H8", "+Imodel.pov", "+Omodel.ppm"],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                cwd=work, check=True).stdout
        found = re.search(r"([0-9.]+) bytes per triangle", output)
        if found:
            print(f"mesh arrays and face tree: {float(found.group(1)):.0f} bytes per triangle")
        peaks = []
        for threads in (1, 2):
            env = dict(os.environ, OMP_NUM_THREADS=str(threads))
            commands = [([raytracer, "+W512", "+H512", "+Imodel.pov", "+Omodel.ppm"], env, work)]
            if tachyon:
                commands.append(([tachyon, dat, "-numthreads", str(threads), "-res", "512", "512",
                                  "-o", os.path.join(work, "model.tga")], None, work))
            results = measure(commands, args.runs)
            mine, peer = results[0], results[1] if tachyon else None
            if tachyon:
                row(f"render 512x512, {threads} thread(s)", mine, peer)
            else:
                print(f"render 512x512, {threads} thread(s): ours {mine[0]:.2f} s, "
                      f"{mine[1]:.0f} MB; tachyon skipped: apt-get install tachyon-bin-nox")
            peaks.append((mine[1], peer[1] if peer else 0))
        for name, peak in (("ours", max((p[0] for p in peaks), default=0)),
                           ("tachyon", max((p[1] for p in peaks), default=0))):
            if peak:
                print(f"peak memory per triangle, {name}: {peak * 1048576 / faces:.0f} bytes")
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
