#!/bin/bash
# Renders on many cores or hosts with GNU parallel (Debian package "parallel").
#
# One scene in bands, put back together into the whole render's bytes:
#   tools/render_bands.sh [driver options] +Iscene.pov +W4096 +H4096 +A4 +Oscene.png
# Many scenes, one job each (the frames of an animation), each written whole
# next to its scene as <scene>.png (or --ext ppm|pfm):
#   tools/render_bands.sh --frames [driver options] [raytracer options] -- f0001.pov f0002.pov ...
#
# Driver options:
#   --bands N        bands of rows (default: the local cores)
#   --jobs N         jobs at a time on each host (parallel's -j; default one per core)
#   --threads N      threads of each job (default 1, as each core runs a job)
#   -S, --sshlogin L hosts to run on, as parallel takes them (repeatable; ":" is this one)
#   --slf FILE       a file of sshlogins, as parallel takes it
#   --raytracer P    the program on every host (default: the one beside this
#                    script's build, else "raytracer" on the PATH)
#   --workdir D      where the parts and the job log go (default: <output>.parts)
#   --joblog F       parallel's job log (default: <workdir>/joblog)
#   --retries N      tries of each job before it counts as failed (default 3)
#   --resume         finish an interrupted render: bands that ended well are not
#                    done again; failed and unstarted ones are
#   --keep           keep the parts after assembly
#   --ext E          the frames' image type: png (default), ppm or pfm
# parallel's progress bar is shown when standard error is a terminal. On
# hosts over ssh, the scene goes out with --basefile and the parts come back
# with --return (parallel sends with rsync); every host needs rsync and the
# program (--raytracer) installed.
#
# Test hook: RT_BANDS_FAIL_ONCE=<band or frame number> makes that job fail on
# its first try (its marker stays in the work folder), so that retries and
# --resume can be checked.
set -euo pipefail

usage() {
    sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
    exit 2
}

here=$(cd "$(dirname "$0")" && pwd)
raytracer=""
for candidate in "$here/../build/src/raytracer"; do
    [ -x "$candidate" ] && raytracer=$(cd "$(dirname "$candidate")" && pwd)/raytracer
done
[ -n "$raytracer" ] || raytracer=raytracer

bands=$(nproc)
jobs=""
threads=1
logins=()
workdir=""
joblog=""
retries=3
resume=0
keep=0
frames=0
ext=png
args=()
scenes=()
while [ $# -gt 0 ]; do
    case "$1" in
        --bands) bands=$2; shift 2 ;;
        --jobs) jobs=$2; shift 2 ;;
        --threads) threads=$2; shift 2 ;;
        -S|--sshlogin) logins+=(--sshlogin "$2"); shift 2 ;;
        --slf) logins+=(--slf "$2"); shift 2 ;;
        --raytracer) raytracer=$2; shift 2 ;;
        --workdir) workdir=$2; shift 2 ;;
        --joblog) joblog=$2; shift 2 ;;
        --retries) retries=$2; shift 2 ;;
        --resume) resume=1; shift ;;
        --keep) keep=1; shift ;;
        --frames) frames=1; shift ;;
        --ext) ext=$2; shift 2 ;;
        -h|--help) usage ;;
        --) shift; scenes=("$@"); break ;;
        *) args+=("$1"); shift ;;
    esac
done
for number in "$bands" "$threads" "$retries" ${jobs:+"$jobs"}; do
    [[ "$number" =~ ^[1-9][0-9]*$ ]] || { echo "render_bands.sh: '$number' is not a count" >&2; exit 2; }
done
command -v parallel > /dev/null || {
    echo "render_bands.sh: GNU parallel is not installed (Debian package \"parallel\")" >&2
    exit 2
}

# The options every job shares, quoted for the shell that parallel starts.
common=""
scene=""
output=""
for arg in "${args[@]}"; do
    case "$arg" in
        +I*) scene=${arg#+I} ;;
        +O*) output=${arg#+O} ;;
        +SR*|+ER*|+SC*|+EC*)
            echo "render_bands.sh: $arg: the driver chooses the bands itself" >&2; exit 2 ;;
        *) common+=" $(printf '%q' "$arg")" ;;
    esac
done

if [ "$frames" -eq 1 ]; then
    workdir=${workdir:-frames.parts}
else
    workdir=${workdir:-$output.parts}
fi
mkdir -p "$workdir"
workdir=$(cd "$workdir" && pwd)
joblog=${joblog:-$workdir/joblog}
[[ "$joblog" == /* ]] || joblog=$PWD/$joblog

parallel_options=(--joblog "$joblog" --retries "$retries" --colsep '\t')
[ -n "$jobs" ] && parallel_options+=(-j "$jobs")
[ "$resume" -eq 1 ] && parallel_options+=(--resume-failed)
[ -t 2 ] && parallel_options+=(--bar)
parallel_options+=(${logins[@]+"${logins[@]}"})
export PARALLEL_SHELL=/bin/bash

# The job's first words: the test hook when it is asked for, then the
# program with its threads. {1} is the job's number; the hook's marker lives
# in the work folder.
prologue() {
    if [ -n "${RT_BANDS_FAIL_ONCE:-}" ]; then
        printf 'if [ "{1}" = %q ] && mkdir %q/.failed_once_{1} 2>/dev/null; then echo "job {1}: failing on its first try (RT_BANDS_FAIL_ONCE)" >&2; exit 1; fi; ' \
            "$RT_BANDS_FAIL_ONCE" "$workdir"
    fi
    printf 'OMP_NUM_THREADS=%q %q' "$threads" "$raytracer"
}

if [ "$frames" -eq 1 ]; then
    [ ${#scenes[@]} -gt 0 ] && [ -z "$scene" ] && [ -z "$output" ] || {
        echo "render_bands.sh: --frames takes its scenes after --, and no +I or +O" >&2; exit 2; }
    case "$ext" in png|ppm|pfm) ;; *) echo "render_bands.sh: --ext takes png, ppm or pfm" >&2; exit 2 ;; esac
    list="$workdir/frames.txt"
    : > "$list"
    for i in "${!scenes[@]}"; do
        printf '%d\t%s\n' "$((i + 1))" "${scenes[$i]}" >> "$list"
    done
    transfer=()
    [ ${#logins[@]} -gt 0 ] && transfer=(--transferfile '{2}' --return '{2.}.'"$ext" --cleanup)
    parallel "${parallel_options[@]}" ${transfer[@]+"${transfer[@]}"} \
        "$(prologue) +I{2} +O{2.}.$ext$common > /dev/null" :::: "$list" || {
        echo "render_bands.sh: $? frame(s) failed; see $joblog and run again with --resume" >&2
        exit 1
    }
    exit 0
fi

[ -n "$scene" ] && [ -n "$output" ] || {
    echo "render_bands.sh: needs +I<scene> and +O<image>; see --help" >&2; exit 2; }
[ ${#scenes[@]} -eq 0 ] || { echo "render_bands.sh: scenes after -- need --frames" >&2; exit 2; }
# The height, as the program reads it: the last +H, default 96.
height=96
for arg in "${args[@]}"; do
    [[ "$arg" == +H* ]] && height=${arg#+H}
done
[[ "$height" =~ ^[1-9][0-9]*$ ]] || { echo "render_bands.sh: +H$height is not a height" >&2; exit 2; }
[ "$bands" -le "$height" ] || bands=$height

# Parts and the scene by names relative to the folder the jobs start in, so
# that parallel sends and returns them under the same names on every host.
cp "$scene" "$workdir/scene.pov"
start=$PWD
cd "$workdir"
list=bands.txt
: > "$list"
for ((band = 1; band <= bands; ++band)); do
    # Even bands: the first rows of each are height * (band - 1) / bands + 1.
    first=$(( height * (band - 1) / bands + 1 ))
    last=$(( height * band / bands ))
    printf '%04d\t%d\t%d\n' "$band" "$first" "$last" >> "$list"
done
transfer=()
if [ ${#logins[@]} -gt 0 ]; then
    transfer=(--basefile scene.pov --return 'band_{1}.pfm' --return 'band_{1}.pfm.json'
              --return 'band_{1}.pfm.f64' --cleanup)
fi
status=0
parallel "${parallel_options[@]}" ${transfer[@]+"${transfer[@]}"} \
    "$(prologue) +Iscene.pov +SR{2} +ER{3} +Oband_{1}.pfm$common > /dev/null" \
    :::: "$list" || status=$?
if [ "$status" -ne 0 ]; then
    echo "render_bands.sh: $status band(s) failed; see $joblog and run again with --resume" >&2
    exit 1
fi
cd "$start"
parts=()
for ((band = 1; band <= bands; ++band)); do
    parts+=("$workdir/$(printf 'band_%04d.pfm' "$band")")
done
"$raytracer" --assemble "+O$output" "${parts[@]}" > /dev/null
if [ "$keep" -eq 0 ]; then
    rm -f "$workdir"/band_* "$workdir"/scene.pov "$workdir/$list"
fi
