#!/bin/bash
# Renders one scene on a Slurm cluster: a job array of bands, one band per
# task, into a shared folder, and an assembly job that runs only when every
# band ended well (afterok).
#   tools/slurm/submit.sh [options] +Iscene.pov +W16000 +H16000 +A8 +Oscene.png
# Options:
#   --bands N        bands of rows, one array task each (default 64)
#   --cpus N         CPUs (threads) of each task (default 1)
#   --parts D        the shared folder of the parts and the jobs' logs
#                    (default <image>.parts, beside the image)
#   --raytracer P    the program, at a path every node sees (default: the
#                    one beside this script's build, else "raytracer")
#   --sbatch "..."   more sbatch options for both jobs (partition, account, time)
#   --wait           wait for the assembly and end with its status
# Prints the two job ids. Paths are made absolute: the nodes must see the
# same files (the scene, the program and the parts folder).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
raytracer=raytracer
[ -x "$here/../../build/src/raytracer" ] && raytracer=$(cd "$here/../../build/src" && pwd)/raytracer
bands=64
cpus=1
parts=""
extra=""
wait=()
args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --bands) bands=$2; shift 2 ;;
        --cpus) cpus=$2; shift 2 ;;
        --parts) parts=$2; shift 2 ;;
        --raytracer) raytracer=$2; shift 2 ;;
        --sbatch) extra=$2; shift 2 ;;
        --wait) wait=(--wait); shift ;;
        -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        *) args+=("$1"); shift ;;
    esac
done
height=96
image=""
options=()
for arg in ${args[@]+"${args[@]}"}; do
    case "$arg" in
        +H*) height=${arg#+H}; options+=("$arg") ;;
        +O*) image=${arg#+O} ;;
        +I*) options+=("+I$(cd "$(dirname "${arg#+I}")" && pwd)/$(basename "${arg#+I}")") ;;
        +SR*|+ER*|+SC*|+EC*) echo "submit.sh: $arg: the bands are chosen here" >&2; exit 2 ;;
        *) options+=("$arg") ;;
    esac
done
[ -n "$image" ] || { echo "submit.sh: needs +O<image>; see --help" >&2; exit 2; }
for number in "$bands" "$cpus" "$height"; do
    [[ "$number" =~ ^[1-9][0-9]*$ ]] || { echo "submit.sh: '$number' is not a count" >&2; exit 2; }
done
[ "$bands" -le "$height" ] || bands=$height
[[ "$raytracer" == */* ]] && raytracer=$(cd "$(dirname "$raytracer")" && pwd)/$(basename "$raytracer")
parts=${parts:-$image.parts}
mkdir -p "$parts"
parts=$(cd "$parts" && pwd)
image=$(cd "$(dirname "$image")" && pwd)/$(basename "$image")

# shellcheck disable=SC2086  # the extra sbatch options are words
array=$(sbatch --parsable $extra --array="1-$bands" --cpus-per-task="$cpus" \
    --output="$parts/band_%4a.out" "$here/render_band.sbatch" \
    "$raytracer" "$parts" "$bands" "$height" "${options[@]}")
array=${array%%;*}
echo "bands: job $array (array 1-$bands) into $parts"
# shellcheck disable=SC2086
assembly=$(sbatch --parsable $extra ${wait[@]+"${wait[@]}"} --dependency="afterok:$array" \
    --output="$parts/assemble.out" "$here/assemble.sbatch" "$raytracer" "$parts" "$bands" "$image")
echo "assembly: job ${assembly%%;*} after $array, into $image"
