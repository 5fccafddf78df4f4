"""Collects the peer benchmark's measurements and prints them as Markdown."""
import os
import resource
import subprocess


def _tachyon_version():
    try:
        return subprocess.run(["dpkg-query", "-W", "-f", "${Version}", "tachyon-bin-nox"],
                              capture_output=True, text=True, check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return "version unknown"


def _load():
    return " ".join("%.2f" % x for x in os.getloadavg())


def _objects(counts):
    kinds = [("sphere", counts["SPHERE"]), ("plane", counts["PLANE"]),
             ("triangle", counts["TRI"] + counts["STRI"])]
    parts = [f"{n:,} {kind}{'s' if n != 1 else ''}" for kind, n in kinds if n]
    return " + ".join(parts)


def _failed(result):
    if result is None:
        return "not run"
    status = result.status if isinstance(result.status, str) else f"status {result.status}"
    return f"failed ({status}: {result.errors or 'no message'})"


class Report:
    def __init__(self, args, gnu_time):
        self.args = args
        self.gnu_time = gnu_time
        self.start_load = os.getloadavg()[0]
        self.failures = 0
        self.head = [
            "## Peer benchmark: ours against tachyon",
            "",
            f"Ours: {args.binary}; tachyon {_tachyon_version()} (Debian package "
            f"tachyon-bin-nox). {os.cpu_count()} cores; load average {_load()} at start. "
            f"Fastest of {args.runs} runs, the programs taking turns.",
            ""]
        if args.baseline:
            self.head[-1:-1] = [
                "", f"Before: {args.baseline}, on the same scenes, converted into the "
                "first version of our language (see the notes below)."]
        self.scenes = []
        self.notes = []
        self.met = []  # (what, met?)
        self.sections = []

    def converted(self, name, counts, notes):
        listed = "; ".join(f"{note} {n}" for note, n in sorted(notes.items()))
        self.notes.append(f"- {name}: {_objects(counts)}; "
                          f"{listed or 'everything converted'}")

    def not_converted(self, name, error):
        self.failures += 1
        self.notes.append(f"- {name}: not converted: {error}")

    def scene_row(self, name, counts, threads, mine, theirs, before=None):
        """before: the baseline's run, when there is one."""
        cells = [name, _objects(counts), str(threads)]
        results = [mine, theirs] + ([before] if self.args.baseline else [])
        for result in results:
            cells.append("%.2f" % result.seconds if result and result.status == 0
                         else _failed(result))
        if any(result is None or result.status != 0 for result in results):
            self.failures += 1
            cells += ["-"] * (len(results) - 1)
        else:
            ratios = [mine.seconds / r.seconds for r in results[1:]]
            cells += ["%.2f" % ratio for ratio in ratios]
            self.met += [ratio <= 1.0 for ratio in ratios]
        self.scenes.append("| " + " | ".join(cells) + " |")

    def loading(self, count, sizes, results):
        labels = ["ours", "tachyon, a texture per sphere (as ours)",
                  "tachyon, one shared texture", "ours before"]
        lines = [f"Loading {count:,} random spheres (ours at +W1 +H1, one thread; tachyon "
                 "at -res 2 2, one thread, as its 1x1 image comes out broken), "
                 "end-to-end wall time:", "",
                 "| program | scene text (MB) | time (s) | CPU (s) | MB/s | peak RSS (MB) "
                 "| bytes/object |",
                 "|---|---:|---:|---:|---:|---:|---:|"]
        for label, result, size in zip(labels, results, list(sizes) + [sizes[0]]):
            if result is None or result.status != 0:
                self.failures += 1
                lines.append(f"| {label} | {size / 1e6:.1f} | {_failed(result)} | | | | |")
                continue
            peak = result.peak_kb * 1024
            lines.append(f"| {label} | {size / 1e6:.1f} | {result.seconds:.2f} | "
                         f"{result.cpu:.2f} | {size / 1e6 / result.seconds:.1f} | {peak / 2**20:.0f} | "
                         f"{peak / count:.0f} |")
        if all(r is not None and r.status == 0 for r in results):
            mine = results[0]
            times = [mine.seconds / r.seconds for r in results[1:3]]
            peaks = [mine.peak_kb / r.peak_kb for r in results[1:3]]
            lines += ["",
                      "- time, ours / tachyon: %.2f (texture per sphere), %.2f (shared "
                      "texture); target at most 1" % tuple(times),
                      "- peak memory, ours / tachyon: %.2f, %.2f; target at most 2, about "
                      "300 bytes per object or less (ours: %.0f)"
                      % (peaks[0], peaks[1], mine.peak_kb * 1024 / count)]
            self.met.append(max(times) <= 1.0)
            self.met.append(max(peaks) <= 2.0)
            for before in results[3:]:
                ratio = mine.seconds / before.seconds
                lines.append("- time, ours / ours before: %.2f (CPU %.2f); peak memory %.2f; "
                             "target: time at most 1" % (ratio, mine.cpu / before.cpu,
                                                         mine.peak_kb / before.peak_kb))
                self.met.append(ratio <= 1.0)
        self.sections.append("\n".join(lines))

    def million(self, count, size, image, threads, results):
        small, full = results
        width, height = image
        lines = [f"{count:,} objects (spheres and triangles, alternating; "
                 f"{size / 1e6:.0f} MB of scene text), ours only, {threads} thread(s), "
                 "one run of each size:", ""]
        if any(r.status != 0 for r in results):
            self.failures += 1
            failed = small if small.status != 0 else full
            lines.append(f"- {_failed(failed)}")
        else:
            peak = full.peak_kb * 1024
            trace = ("%.2f s" % ((full.seconds - full.loaded) - (small.seconds - small.loaded))
                     if full.loaded and small.loaded else "unknown")
            lines += [
                "| image | total (s) | CPU (s) | load (s) | after the load (s) | peak RSS (MB) |",
                "|---|---:|---:|---:|---:|---:|"]
            for label, r in (("1x1", small), (f"{width}x{height}", full)):
                loaded = "%.2f" % r.loaded if r.loaded is not None else "?"
                after = "%.2f" % (r.seconds - r.loaded) if r.loaded is not None else "?"
                lines.append(f"| {label} | {r.seconds:.2f} | {r.cpu:.2f} | {loaded} | {after} | "
                             f"{r.peak_kb / 1024:.0f} |")
            lines += [
                "",
                "- load: start to \"... done initializing.\" at 1x1"
                + (": %.2f s, %.1f MB/s" % (small.loaded, size / 1e6 / small.loaded)
                   if small.loaded else ": not seen"),
                "- trace at %dx%d: %s (the time after the load at %dx%d less that at 1x1, "
                "which is the hierarchy, start-up and exit); processor time %.2f s (the "
                "difference of the two runs' processor times)" % (
                    width, height, trace, width, height, full.cpu - small.cpu),
                "- peak memory at %dx%d: %.0f MB, %.0f bytes per object"
                % (width, height, peak / 2**20, peak / count)]
        self.sections.append("\n".join(lines))

    def text(self):
        out = list(self.head)
        if self.scenes:
            size = self.args.size
            before = bool(self.args.baseline)
            out += [f"Tachyon's example scenes at {size}x{size}, end-to-end wall time "
                    "(start-up, reading, tracing, writing the image):", "",
                    "| scene | objects | threads | ours (s) | tachyon (s) | "
                    + ("before (s) | ours / tachyon | ours / before |" if before else "ratio |"),
                    "|---|---|---:|---:|---:|---:|" + ("---:|---:|" if before else "")]
            out += self.scenes
            out += ["", "ratio = our time / tachyon's"
                    + (" (or our earlier build's)" if before else "")
                    + "; target: at most 1.00 on every row.", ""]
        for section in self.sections:
            out += [section, ""]
        if not self.gnu_time:
            own = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024
            out += [f"Peak memory from wait4 (no /usr/bin/time): no figure can be below "
                    f"this script's own peak, {own:.0f} MB.", ""]
        if self.met:
            out.append(f"Targets met: {sum(self.met)} of {len(self.met)}.")
        if self.notes:
            out += ["", "What the conversion left out or approximated "
                    "(see bench/peer/tachyon_to_scene.py):"] + self.notes
        out += ["", f"Load average {_load()} at the end."]
        busiest = max(self.start_load, os.getloadavg()[0])
        if busiest > (os.cpu_count() or 1):
            out.append(f"The machine was busy (load average up to {busiest:.1f} on "
                       f"{os.cpu_count()} cores): other work shared the cores, and the "
                       "figures are less steady; compare them with another run.")
        return "\n".join(out)
