#!/bin/sh
# Re-renders the reference images of the image regression test. Run it only
# after a deliberate change to the pictures, and look at them before committing.
# Usage: tools/refresh_gallery_references.sh [raytracer]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
raytracer=${1:-$root/build/src/raytracer}
out=$root/tests/data/gallery
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
# The models that gallery scenes name, beside the copies.
cp -r "$root/scenes/gallery/models" "$work/models"

render() {  # name scene [option]
    name=$1
    cp "$root/$2" "$work/$name.pov"
    shift 2
    "$raytracer" +W160 +H120 "+I$work/$name.pov" "$@" > /dev/null
    cp "$work/$name.ppm" "$out/$name.ppm"
    echo "$out/$name.ppm"
}

render demo scenes/demo.pov
for name in shadows reflection refraction boxes triangles no_lights \
    cylinders_cones discs smooth_triangles transforms mesh obj_model \
    spotlight area_light fog mirror_sky; do
    render "$name" "scenes/gallery/$name.pov"
done
render shadows_off scenes/gallery/shadows.pov -shadows
