#!/bin/bash
# interactive_fps.sh [seconds] [raytracer]: frames per second of the
# "+interactive" view of scenes/demo.pov at 640 x 480, under a private Xvfb
# server. The keys that move the camera in and out ("w", "s") are posted to
# the window every 20 ms, so that a redraw is always pending; the frames are
# the "... done rendering." lines that the window prints in the measured
# seconds (default 5), after the first frame. OMP_NUM_THREADS
# sets the threads as for a render. The program defaults to the build's
# (RT_BUILD_DIR, default build/); give another to compare side by side.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-5}
binary=${2:-$root/${RT_BUILD_DIR:-build}/src/raytracer}
[ -x "$binary" ] || { echo "interactive_fps: no program at $binary (build first)" >&2; exit 2; }
binary=$(cd "$(dirname "$binary")" && pwd)/$(basename "$binary")

if [ -z "${RT_FPS_INNER:-}" ]; then
    # Again, inside a display of its own.
    RT_FPS_INNER=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
        "$0" "$seconds" "$binary"
fi

log=$(mktemp)
program=
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null
    rm -f "$log"
}
trap cleanup EXIT

frames() { grep -c '^\.\.\. done rendering\.$' "$log" || true; }

# The window modes read their shaders and textures from preview/.
(cd "$root/preview" && exec "$binary" +interactive +W640 +H480 "+I$root/scenes/demo.pov") \
    > "$log" 2>/dev/null &
program=$!

# The first frame: start-up, reading the scene, the tracing index.
for _ in $(seq 600); do
    [ "$(frames)" -ge 1 ] && break
    kill -0 "$program" 2>/dev/null || { echo "interactive_fps: the program ended" >&2; exit 1; }
    sleep 0.1
done
[ "$(frames)" -ge 1 ] || { echo "interactive_fps: no first frame in 60 s" >&2; exit 1; }
window=$(xdotool search --sync --name '^3D Ray Tracer$' | head -n 1)

# One long-lived xdotool posts the keys, 20 ms apart, until timeout ends it:
# a driver that started processes in a loop would take a core's share from
# the renderer on a small machine.
start=$(frames)
began=$(date +%s.%N)
timeout "$seconds" xdotool key --repeat 100000 --delay 20 --window "$window" w s \
    2>/dev/null || true
ended=$(date +%s.%N)
count=$(( $(frames) - start ))
elapsed=$(echo "$ended - $began" | bc)
threads=${OMP_NUM_THREADS:-$(nproc)}
printf 'interactive_fps: scenes/demo.pov at 640 x 480, %s threads: ' "$threads"
printf '%.1f frames per second (%d frames in %.1f s)\n' \
    "$(echo "$count / $elapsed" | bc -l)" "$count" "$elapsed"
