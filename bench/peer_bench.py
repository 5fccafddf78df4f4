#!/usr/bin/env python3
"""Peer benchmark: our ray tracer against Debian's tachyon, end to end.

Both programs run on tachyon's own example scenes as a new user would run them.

For balls, tetra, teapot and gridtest it converts the scene into our language
(bench/peer/tachyon_to_scene.py, into a temporary folder), renders it with
both programs at 512x512 with 1 and 2 threads, and keeps the fastest of
--runs wall-clock times, alternating the programs so that load from other
work on the machine hits both. Then it loads 100,000 generated spheres with
each program (a 1x1 image for ours, 2x2 for tachyon, whose 1x1 image comes
out broken) and reports time and peak memory. --cases million adds a scene of
1,000,000 spheres and triangles: load, hierarchy and trace times and peak
memory of ours alone (--cases scenes,load,million runs everything).

--baseline BINARY adds an earlier build of ours to the scenes and the loading,
run in turn with the other two, and its time beside ours: the scenes are then
converted into the first version of our language only (smooth triangles
flat; no background, fog, lens, light modifiers, textures or new shapes), so
that both builds render the same file.

Ours runs as OMP_NUM_THREADS=n BINARY +W512 +H512 +Iscene.pov with standard
output to /dev/null; tachyon as tachyon scene.dat -numthreads n -res 512 512
-o out.tga. Peak memory is each child's maximum resident set, from GNU time
when /usr/bin/time is there.
Without tachyon or its example scenes the benchmark says how to install them
and exits with status 0. Exit status 1 when a program failed on a scene.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO, "bench", "peer"))
import peer_report  # noqa: E402
import scene_gen  # noqa: E402
import tachyon_to_scene  # noqa: E402

SCENES = ["balls", "tetra", "teapot", "gridtest"]
SCENE_DIR = "/usr/share/doc/tachyon/examples/scenes"
INSTALL = "apt-get install tachyon-bin-nox tachyon-doc"


class Run:
    """One finished child: wall seconds, processor seconds (user and
    system), peak resident KB, exit status and the end of its standard error."""

    def __init__(self, seconds, cpu, peak_kb, status, errors):
        self.seconds, self.cpu, self.peak_kb = seconds, cpu, peak_kb
        self.status, self.errors = status, errors


# GNU time reports a child's own peak memory. The fallback, wait4 from this
# process, cannot report less than this process's own peak (Linux counts the
# parent's pages that a spawned child starts from), which the report states.
GNU_TIME = "/usr/bin/time" if os.access("/usr/bin/time", os.X_OK) else None


def run(command, env=None, stdout=subprocess.DEVNULL, on_output=None):
    """Runs command to the end; on_output(chunk, seconds since start) sees
    its standard output as it arrives when stdout is a pipe."""
    with tempfile.NamedTemporaryFile() as peak, tempfile.TemporaryFile() as errors:
        if GNU_TIME:
            command = [GNU_TIME, "-f", "%M", "-o", peak.name] + command
        start = time.perf_counter()
        child = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=stdout,
                                 stderr=errors, env=env)
        if on_output is not None:
            for chunk in iter(lambda: child.stdout.read1(1 << 20), b""):
                on_output(chunk, time.perf_counter() - start)
            child.stdout.close()
        _, status, usage = os.wait4(child.pid, 0)
        seconds = time.perf_counter() - start
        child.returncode = os.waitstatus_to_exitcode(status)
        peak_kb = usage.ru_maxrss
        if GNU_TIME:
            lines = peak.read().decode().split()
            peak_kb = int(lines[-1]) if lines and lines[-1].isdigit() else 0
        errors.seek(0)
        tail = errors.read()[-400:].decode("utf-8", "replace").strip()
    return Run(seconds, usage.ru_utime + usage.ru_stime, peak_kb, child.returncode, tail)


def with_image(command, image, pixels):
    """command, failing when it leaves no image of at least pixels pixels:
    tachyon reports a scene it cannot read and exits with status 0."""
    def checked():
        if os.path.exists(image):
            os.remove(image)
        result = command()
        if result.status == 0 and (not os.path.exists(image) or
                                   os.path.getsize(image) < 3 * pixels):
            result.status = "no image"
        return result
    return checked


def ours(binary, threads, width, height, scene):
    env = dict(os.environ, OMP_NUM_THREADS=str(threads))
    return with_image(
        lambda: run([binary, f"+W{width}", f"+H{height}", f"+I{scene}"], env),
        os.path.splitext(scene)[0] + ".ppm", width * height)


def tachyon(threads, width, height, scene, image):
    return with_image(
        lambda: run(["tachyon", scene, "-numthreads", str(threads),
                     "-res", str(width), str(height), "-o", image]),
        image, width * height)


def fastest(commands, runs):
    """The fastest run of each command over runs rounds, the order of the
    commands turning round each time; a failed run ends the measurement."""
    best = [None] * len(commands)
    for round_ in range(runs):
        order = list(range(len(commands)))
        if round_ % 2:
            order.reverse()
        for i in order:
            result = commands[i]()
            if result.status != 0:
                best[i] = result
                return best
            if best[i] is None or result.seconds < best[i].seconds:
                best[i] = result
    return best


def missing_scenes(folder):
    return [name for name in SCENES
            if not os.path.exists(os.path.join(folder, name + ".dat"))]


def bench_scenes(args, work, report):
    for name in SCENES:
        source = os.path.join(args.scene_dir, name + ".dat")
        scene = os.path.join(work, name + ".pov")
        try:
            with open(source, encoding="latin-1") as f:
                text, notes, counts = tachyon_to_scene.convert(
                    f.read(), (args.size, args.size), name + ".dat",
                    first_words=args.baseline is not None)
        except tachyon_to_scene.ConversionError as error:
            report.not_converted(name + ".dat", error)
            continue
        with open(scene, "w") as f:
            f.write(text)
        report.converted(name + ".dat", counts, notes)
        for threads in args.threads:
            print(f"  {name}: {threads} thread(s) ...", file=sys.stderr, flush=True)
            commands = [ours(args.binary, threads, args.size, args.size, scene),
                        tachyon(threads, args.size, args.size, source,
                                os.path.join(work, name + ".tga"))]
            if args.baseline:
                commands.append(ours(args.baseline, threads, args.size, args.size, scene))
            report.scene_row(name + ".dat", counts, threads, *fastest(commands, args.runs))


def bench_loading(args, work, report):
    count = args.load_objects
    paths = [os.path.join(work, f"spheres{count}.{ext}")
             for ext in ("pov", "dat", "shared.dat")]
    print(f"  writing {count} spheres ...", file=sys.stderr, flush=True)
    sizes = scene_gen.write_sphere_scenes(count, *paths)
    image = os.path.join(work, "spheres.tga")
    commands = [ours(args.binary, 1, 1, 1, paths[0]), tachyon(1, 2, 2, paths[1], image),
                tachyon(1, 2, 2, paths[2], image)]
    if args.baseline:
        commands.append(ours(args.baseline, 1, 1, 1, paths[0]))
    results = fastest(commands, args.runs)
    report.loading(count, sizes, results)


def bench_million(args, work, report):
    count = args.million_objects
    path = os.path.join(work, f"mixed{count}.pov")
    print(f"  writing {count} spheres and triangles ...", file=sys.stderr, flush=True)
    size = scene_gen.write_mixed(count, path)
    width, height = args.million_size
    results = []
    for w, h in ((1, 1), (width, height)):
        # The program flushes this line as it starts building the hierarchy.
        marker = b"... done initializing."
        seen = {"tail": b"", "loaded": None}

        def watch(chunk, seconds):
            text = seen["tail"] + chunk
            if seen["loaded"] is None and marker in text:
                seen["loaded"] = seconds
            seen["tail"] = text[-len(marker):]

        print(f"  rendering it at {w}x{h} ...", file=sys.stderr, flush=True)
        env = dict(os.environ, OMP_NUM_THREADS=str(max(args.threads)))
        result = run([args.binary, f"+W{w}", f"+H{h}", f"+I{path}"], env,
                     subprocess.PIPE, watch)
        result.loaded = seen["loaded"]
        results.append(result)
    report.million(count, size, (width, height), max(args.threads), results)


def parse_args(argv):
    parser = argparse.ArgumentParser(
        description=__doc__.split("\n")[0],
        formatter_class=argparse.RawDescriptionHelpFormatter, epilog=__doc__)
    parser.add_argument("--binary", default=os.path.join(REPO, "build", "src", "raytracer"),
                        help="our ray tracer (default: %(default)s)")
    parser.add_argument("--baseline", metavar="BINARY",
                        help="an earlier build of ours, timed beside it")
    parser.add_argument("--runs", type=int, default=3,
                        help="runs per case, fastest kept (default: %(default)s)")
    parser.add_argument("--threads", default="1,2",
                        help="thread counts, comma-separated (default: %(default)s)")
    parser.add_argument("--size", type=int, default=512,
                        help="image width and height (default: %(default)s)")
    parser.add_argument("--cases", default="scenes,load",
                        help="any of scenes, load, million (default: %(default)s)")
    parser.add_argument("--load-objects", type=int, default=100000,
                        help="spheres in the loading case (default: %(default)s)")
    parser.add_argument("--million-objects", type=int, default=1000000,
                        help="objects in the million case (default: %(default)s)")
    parser.add_argument("--million-size", default="640x480",
                        help="its image size (default: %(default)s)")
    parser.add_argument("--scene-dir", default=SCENE_DIR,
                        help="tachyon's example scenes (default: %(default)s)")
    parser.add_argument("--keep", metavar="DIR",
                        help="work in DIR and keep the scenes and images there")
    args = parser.parse_args(argv)
    try:
        args.threads = [int(n) for n in args.threads.split(",")]
        args.million_size = tuple(int(n) for n in args.million_size.split("x"))
    except ValueError:
        parser.error("--threads takes numbers such as 1,2 and --million-size one such as 640x480")
    args.cases = set(args.cases.split(","))
    if not args.cases <= {"scenes", "load", "million"}:
        parser.error(f"unknown case in --cases {','.join(sorted(args.cases))}")
    if args.runs < 1 or min(args.threads) < 1 or args.size < 2:
        parser.error("--runs and --threads must be at least 1, --size at least 2")
    if len(args.million_size) != 2 or min(args.million_size) < 2:
        parser.error("--million-size must be WxH, each at least 2")
    return args


def main(argv):
    args = parse_args(argv)
    if not (os.path.isfile(args.binary) and os.access(args.binary, os.X_OK)):
        print(f"peer_bench: no executable at {args.binary} (build it, or give --binary)",
              file=sys.stderr)
        return 2
    args.binary = os.path.abspath(args.binary)
    if args.baseline is not None:
        if not (os.path.isfile(args.baseline) and os.access(args.baseline, os.X_OK)):
            print(f"peer_bench: no executable at {args.baseline} (--baseline)", file=sys.stderr)
            return 2
        args.baseline = os.path.abspath(args.baseline)
    if shutil.which("tachyon") is None or missing_scenes(args.scene_dir):
        print(f"peer_bench: skipped: needs tachyon and its example scenes "
              f"({', '.join(s + '.dat' for s in SCENES)} in {args.scene_dir}); "
              f"install them with: {INSTALL}")
        return 0
    report = peer_report.Report(args, GNU_TIME)
    if args.keep:
        os.makedirs(args.keep, exist_ok=True)
        work, cleanup = args.keep, None
    else:
        cleanup = tempfile.TemporaryDirectory(prefix="peer_bench.")
        work = cleanup.name
    try:
        if "scenes" in args.cases:
            bench_scenes(args, work, report)
        if "load" in args.cases:
            bench_loading(args, work, report)
        if "million" in args.cases:
            bench_million(args, work, report)
    finally:
        if cleanup is not None:
            cleanup.cleanup()
    print(report.text())
    return 1 if report.failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
