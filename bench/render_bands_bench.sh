#!/bin/bash
# render_bands_bench.sh [size] [antialias] [runs]: one large render of
# scenes/demo.pov (default 1024 x 1024 at +A4, 3 runs; the full-size case is
# "4096 4) three ways, side by side in each run:
#   whole     the program alone on 2 threads;
#   2 bands   tools/render_bands.sh, 2 bands of 1 thread each, assembled;
#   8 bands   the same with 8 bands, still 2 at a time.
# Prints the minimum of the runs for each, wall-clock and CPU (user and
# system, the program's or the driver's with all its jobs), the assembly's
# time and share, and the driver's overhead: its time beyond its bands'
# (first start to last end in parallel's job log), that is GNU parallel's
# start-up, the part files and the assembly. Every image is checked against
# the whole render's bytes. On a machine shared with other work the CPU
# times say more than the wall-clock ones.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
size=${1:-1024}
antialias=${2:-4}
runs=${3:-3}
raytracer=$root/${RT_BUILD_DIR:-build}/src/raytracer
[ -x "$raytracer" ] || { echo "render_bands_bench: build first ($raytracer)" >&2; exit 2; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
cp "$root/scenes/demo.pov" scene.pov
options=("+W$size" "+H$size" "+A$antialias" +Iscene.pov)

min() { printf '%s\n' "$@" | sort -g | head -1; }
# Runs a command quietly; sets $wall and $cpu (user + system, children too).
timed() {
    local times
    exec 3>&2
    times=$( { TIMEFORMAT='%R %U %S'; time "$@" > /dev/null 2>&3; } 2>&1 )
    exec 3>&-
    read -r wall user system <<< "$times"
    cpu=$(echo "$user + $system" | bc -l)
}

whole=() two=() eight=() assembly=() busy2=() busy8=() cwhole=() ctwo=() ceight=()
for run in $(seq "$runs"); do
    timed env OMP_NUM_THREADS=2 "$raytracer" "${options[@]}" +Owhole.png
    whole+=("$wall"); cwhole+=("$cpu")

    for bands in 2 8; do
        rm -rf "b$bands.png" "b$bands.png.parts"
        timed "$root/tools/render_bands.sh" --raytracer "$raytracer" --bands "$bands" --jobs 2 \
            --threads 1 --keep "${options[@]}" "+Ob$bands.png"
        cmp -s "b$bands.png" whole.png || { echo "b$bands.png is not the whole render" >&2; exit 1; }
        # The bands' own time: from the first start to the last end in the log.
        busy=$(awk 'NR > 1 { s = $3; e = $3 + $4; if (first == "" || s < first) first = s;
                             if (e > last) last = e } END { printf "%.3f", last - first }' \
            "b$bands.png.parts/joblog")
        if [ "$bands" -eq 2 ]; then
            two+=("$wall"); ctwo+=("$cpu"); busy2+=("$busy")
            timed "$raytracer" --assemble +Oagain.png b2.png.parts/band_000?.pfm
            assembly+=("$wall")
        else
            eight+=("$wall"); ceight+=("$cpu"); busy8+=("$busy")
        fi
    done
    echo "run $run: whole ${whole[-1]} s, 2 bands ${two[-1]} s, 8 bands ${eight[-1]} s" >&2
done

w=$(min "${whole[@]}"); t=$(min "${two[@]}"); e=$(min "${eight[@]}"); a=$(min "${assembly[@]}")
cw=$(min "${cwhole[@]}"); ct=$(min "${ctwo[@]}"); ce=$(min "${ceight[@]}")
b2=$(min "${busy2[@]}"); b8=$(min "${busy8[@]}")
ratio() { echo "$1 / $2" | bc -l; }
echo "demo.pov ${size}x${size} +A$antialias, minimum of $runs runs on $(nproc) cores"
printf '%-32s %8s %6s %8s %6s\n' "" "wall (s)" "ratio" "CPU (s)" "ratio"
printf '%-32s %8.2f %6.2f %8.2f %6.2f\n' "whole, 2 threads" "$w" 1 "$cw" 1
printf '%-32s %8.2f %6.2f %8.2f %6.2f\n' "2 bands x 1 thread, driver" "$t" "$(ratio "$t" "$w")" \
    "$ct" "$(ratio "$ct" "$cw")"
printf '%-32s %8.2f %6.2f %8.2f %6.2f\n' "8 bands x 1 thread, 2 at a time" "$e" "$(ratio "$e" "$w")" \
    "$ce" "$(ratio "$ce" "$cw")"
printf 'assembly into PNG: %.2f s, %.1f%% of the 2-band total\n' "$a" "$(echo "100 * $a / $t" | bc -l)"
printf 'driver time beyond its bands: %.2f s (2 bands), %.2f s (8 bands)\n' \
    "$(echo "$t - $b2" | bc -l)" "$(echo "$e - $b8" | bc -l)"
