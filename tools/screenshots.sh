#!/bin/bash
# Screenshots of both window modes of the demo scene for the README, made
# under a private Xvfb server: each mode runs from preview/ at 640 x 480, the
# window is grabbed with ImageMagick's import once its first frame is drawn,
# and q closes it. Writes docs/window_raytraced.png and docs/window_opengl.png.
# Usage: tools/screenshots.sh [raytracer]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
raytracer=$(realpath "${1:-$root/build/src/raytracer}")
if [ -z "${RT_SCREENSHOT_XVFB:-}" ]; then
    exec env RT_SCREENSHOT_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" \
        "$0" "$raytracer"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

shoot() {  # mode, a line each frame prints, output name
    local mode=$1 frame=$2 png=$root/docs/$3 log=$work/$3.log id=""
    (cd "$root/preview" && exec "$raytracer" "$mode" +W640 +H480 "+I$root/scenes/demo.pov") \
        > "$log" 2>&1 &
    local pid=$!
    for _ in $(seq 200); do
        if grep -q -- "$frame" "$log"; then
            id=$(xdotool search --name '^3D Ray Tracer$' || true)
            [ -n "$id" ] && break
        fi
        kill -0 "$pid" 2> /dev/null || break
        sleep 0.1
    done
    if [ -z "$id" ]; then
        echo "$mode: no frame; its output:" >&2
        cat "$log" >&2
        kill "$pid" 2> /dev/null || true
        exit 1
    fi
    # The frame is swapped in after its last line is printed.
    sleep 1
    import -window "$id" -depth 8 "ppm:$work/shot.ppm"
    # The window is gone before the key's release can be sent to it.
    xdotool key --window "$id" q 2> /dev/null || true
    wait "$pid"
    python3 "$root/tools/ppm2png.py" "$work/shot.ppm" "$png"
    echo "$png"
}

shoot +interactive "... done rendering." window_raytraced.png
shoot +opengl "using texturing alone, no lights" window_opengl.png
