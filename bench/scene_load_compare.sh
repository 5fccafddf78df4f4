#!/bin/bash
# Loading a generated scene of N spheres (default 100000) side by side: the
# whole program at 1 x 1 pixel for a reference build and for this build, the
# tachyon ray tracer on the same spheres when it is installed, and this
# build's reading alone (scene_load_bench). Prints the fastest of RUNS runs
# (default 5) in elapsed and CPU seconds and the peak resident memory, and
# fails when the reference and this build differ in standard output or image.
# Usage: bench/scene_load_compare.sh REFERENCE_RAYTRACER [N] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/${RT_BUILD_DIR:-build}
reference=$(realpath "$1")
count=${2:-100000}
runs=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

python3 "$root/bench/make_sphere_scene.py" "$count" > ref.pov
cp ref.pov new.pov
echo "$count spheres, $(stat -c %s ref.pov) bytes; load average $(cut -d' ' -f1-3 /proc/loadavg)"

# best NAME COMMAND...: the fastest run's elapsed and CPU seconds, the largest peak.
best() {
    local name=$1
    shift
    for _ in $(seq "$runs"); do
        /usr/bin/time -f "%e %U %S %M" -o time.txt "$@" > "$name.out" 2> "$name.err"
        cat time.txt
    done | sort -n | awk -v name="$name" 'NR == 1 { e = $1; c = $2 + $3 } $4 > m { m = $4 }
        END { printf "%-10s %6.2f s elapsed %6.2f s CPU %7.1f MB peak\n", name, e, c, m / 1024 }'
}

best reference "$reference" +W1 +H1 +Iref.pov
best this "$build/src/raytracer" +W1 +H1 +Inew.pov
sed -i 's/^Input file: new/Input file: ref/; s/^Output filename: new/Output filename: ref/' this.out
cmp reference.out this.out && cmp ref.ppm new.ppm && echo "standard output and image: the same bytes"
if command -v tachyon > /dev/null; then
    python3 "$root/bench/make_sphere_scene.py" "$count" --tachyon > spheres.dat
    best tachyon tachyon -res 1 1 spheres.dat -o spheres.tga
fi
for _ in $(seq "$runs"); do "$build/bench/scene_load_bench" new.pov 2>&1; done | sort -t: -k2 -n | head -n 1 |
    sed 's/^/reading alone (fastest): /'
