#!/bin/sh
# Renders the demo and the gallery scenes at 320 x 240 and writes PNG copies
# to docs/gallery/ for the README. Usage: tools/render_gallery.sh [raytracer]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
raytracer=${1:-$root/build/src/raytracer}
out=$root/docs/gallery
mkdir -p "$out"

render() {  # name scene [options...]
    name=$1
    scene=$2
    shift 2
    "$raytracer" +W320 +H240 "$@" "+I$scene" "+O$out/$name.png" > /dev/null
    echo "$out/$name.png"
}

render demo "$root/scenes/demo.pov"
render demo_aa4 "$root/scenes/demo.pov" +A4
for scene in "$root"/scenes/gallery/*.pov; do
    render "$(basename "$scene" .pov)" "$scene"
done
render shadows_off "$root/scenes/gallery/shadows.pov" -shadows
