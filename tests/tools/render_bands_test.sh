#!/bin/bash
# The GNU parallel driver: a scene in 4 bands on local cores gives the whole
# render's bytes, also when a band fails once and is retried, and when an
# interrupted render is finished with --resume without redoing its done
# bands; bands sent to a host over ssh come back; frames of an animation
# are rendered one job each.
# Usage: render_bands_test.sh <raytracer> <source folder>
set -euo pipefail
raytracer=$1
driver=$2/tools/render_bands.sh
command -v parallel > /dev/null || {
    echo "GNU parallel is missing: tools/setup.sh installs it (Debian package parallel)" >&2
    exit 1
}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
cp "$2/scenes/demo.pov" scene.pov
options=(+W61 +H45 +A2 +Iscene.pov)
fail() { echo "FAILED: $*" >&2; exit 1; }
same() { cmp -s "$1" "$2" || fail "$1 differs from $2"; }

"$raytracer" "${options[@]}" +Owhole.png > /dev/null
"$raytracer" "${options[@]}" +Owhole.ppm > /dev/null

# Four bands on local cores.
"$driver" --raytracer "$raytracer" --bands 4 "${options[@]}" +Oplain.png
same plain.png whole.png
[ ! -e plain.png.parts/band_0001.pfm ] || fail "the parts were not cleaned up"

# Band 2 fails on its first try and is retried within the run.
RT_BANDS_FAIL_ONCE=0002 "$driver" --raytracer "$raytracer" --bands 4 --retries 2 \
    "${options[@]}" +Oretried.ppm
# parallel shows only the last try's output: the hook's marker tells that
# the band failed once, before it rendered anything.
[ -d retried.ppm.parts/.failed_once_0002 ] || fail "band 2 did not fail"
same retried.ppm whole.ppm

# Band 3 fails with no retry: the render stops without an image, and
# --resume finishes it, leaving the bands that were done as they were.
status=0
RT_BANDS_FAIL_ONCE=0003 "$driver" --raytracer "$raytracer" --bands 4 --retries 1 \
    "${options[@]}" +Oresumed.png 2> first.err || status=$?
[ "$status" -eq 1 ] || fail "the failed render ended with status $status"
grep -q "1 band(s) failed; see .*joblog and run again with --resume" first.err || fail "$(cat first.err)"
[ ! -e resumed.png ] || fail "a failed render left an image"
[ ! -e resumed.png.parts/band_0003.pfm ] || fail "the failed band left a part"
before=$(stat -c '%n %y' resumed.png.parts/band_000[124].pfm*)
sleep 0.05
RT_BANDS_FAIL_ONCE=0003 "$driver" --raytracer "$raytracer" --bands 4 --retries 1 --resume --keep \
    "${options[@]}" +Oresumed.png
same resumed.png whole.png
[ "$(stat -c '%n %y' resumed.png.parts/band_000[124].pfm*)" = "$before" ] ||
    fail "--resume rendered done bands again"
# The job log: band 3 twice (failed, then done), the others once.
runs=$(awk 'NR > 1 { print $1 ":" $7 }' resumed.png.parts/joblog | sort | tr '\n' ' ')
[ "$runs" = "1:0 2:0 3:0 3:1 4:0 " ] || fail "job log: $runs"

# On a host over ssh: a stand-in for ssh runs the jobs here, in a folder of
# their own, so the scene must go there and the parts come back through
# parallel's transfers (rsync), and nothing may be left there.
mkdir remote
cat > fake_ssh <<'SSH'
#!/bin/bash
while [[ "$1" == -* ]]; do
    case "$1" in -o|-p|-l|-i|-S) shift 2 ;; *) shift ;; esac
done
shift
[ "${1:-}" = "--" ] && shift
echo "$*" >> "$FAKE_REMOTE/../ssh.log"
cd "$FAKE_REMOTE" && exec bash -c "$*"
SSH
chmod +x fake_ssh
FAKE_REMOTE=$dir/remote PARALLEL_SSH=$dir/fake_ssh "$driver" --raytracer "$raytracer" --bands 4 \
    -S 2/farhost "${options[@]}" +Oremote.png
same remote.png whole.png
grep -q "rsync" ssh.log || fail "nothing went through the stand-in ssh"
[ -z "$(ls -A remote)" ] || fail "files left on the host: $(ls -A remote)"

# Frames: one job each, written beside their scenes; frame 2 fails once.
for f in 1 2 3; do
    sed "s/location <0, 3, 12>/location <$f, 3, 12>/" scene.pov > "frame$f.pov"
    "$raytracer" +W32 +H24 "+Iframe$f.pov" "+Oexpected$f.png" > /dev/null
done
RT_BANDS_FAIL_ONCE=2 "$driver" --raytracer "$raytracer" --frames --workdir frames.log \
    +W32 +H24 -- frame1.pov frame2.pov frame3.pov
[ -d frames.log/.failed_once_2 ] || fail "frame 2 did not fail once"
for f in 1 2 3; do
    same "frame$f.png" "expected$f.png"
done
cmp -s frame1.png frame2.png && fail "the frames are the same picture"
echo "render_bands.sh: bands, retry, --resume and frames all match"
