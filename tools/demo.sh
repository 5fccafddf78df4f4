#!/bin/sh
# Installs what is missing, builds the ray tracer and renders the demo scene
# to scenes/demo.ppm and scenes/demo.png.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
cmake -S "$root" -B "$root/build" > /dev/null
cmake --build "$root/build" -j "$(nproc)" --target raytracer
"$root/build/src/raytracer" +W640 +H480 "+I$root/scenes/demo.pov" > /dev/null
"$root/build/src/raytracer" +W640 +H480 "+I$root/scenes/demo.pov" "+O$root/scenes/demo.png" > /dev/null
echo "Rendered $root/scenes/demo.ppm (and demo.png)"
