#!/usr/bin/env python3
"""Plots render_bench's table: render time against object count for the
tracing hierarchy (its build plus the trace, one and two threads) and the
linear scan, log scales.

Usage: plot_render_bench.py TABLE.md OUT.png
TABLE.md is render_bench's standard output. Needs gnuplot (Debian package
gnuplot-nox)."""
import subprocess
import sys


def read_rows(path):
    """The table's rows as dicts keyed by its header cells."""
    header = None
    rows = []
    with open(path) as f:
        for line in f:
            if not line.startswith("|"):
                continue
            cells = [c.strip() for c in line.strip().strip("|").split("|")]
            if header is None:
                header = cells
            elif cells[0].isdigit():
                rows.append(dict(zip(header, cells)))
    if not rows:
        sys.exit(f"{path}: no render_bench table rows")
    return rows


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    rows = read_rows(sys.argv[1])
    lines = []
    for r in rows:
        build = float(r["build (ms)"]) / 1000
        lines.append(f"{r['objects']} {build + float(r['1 thread (s)'])} "
                     f"{build + float(r['2 threads (s)'])} {r['linear (s)']}")
    data = "\n".join(lines)
    script = f"""
set terminal pngcairo size 800,520 font "sans,11"
set output "{sys.argv[2]}"
set title "640 x 480 render time against object count"
set xlabel "objects (triangles and spheres)"
set ylabel "seconds"
set logscale xy
set grid
set key center right
set xrange [700:140000]
$data << EOD
{data}
EOD
plot $data using 1:4 with linespoints lw 2 pt 7 title "linear scan, 1 thread (sampled rows above 1,000 objects)", \\
     $data using 1:2 with linespoints lw 2 pt 5 title "hierarchy, 1 thread (build and trace)", \\
     $data using 1:3 with linespoints lw 2 pt 9 title "hierarchy, 2 threads (build and trace)"
"""
    subprocess.run(["gnuplot"], input=script, text=True, check=True)


if __name__ == "__main__":
    main()
