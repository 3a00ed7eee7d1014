#!/usr/bin/env bash
# The intervalometer against FFmpeg on the same job, one after the other in this script so that
# the ratio means something on a loaded machine: every 25th frame of a 60 s 1080p H.264 clip
# with 10-second GOPs (a key frame every 250 frames, B-frames) written as JPEG.
#   ours:   kelvara headless, /idelai=25 /iunit=0 /inter (a frame-exact seek and a grab per
#           picture), JPEG quality 90, the whole run from start to quit;
#   FFmpeg: ffmpeg -i clip -vf "select=not(mod(n\,25))" -vsync 0 -q:v 2 out%03d.jpg, the whole run.
# Both write 60 pictures; every figure is the best of RUNS runs (3 by default).
#
# usage: scripts/bench-intervallo.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
kelvara=$build/bin/kelvara
runs=${RUNS:-3}
[ -x "$kelvara" ] || { echo "bench-intervallo: $kelvara is missing; build kelvara" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "bench-intervallo: ffmpeg is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR=$work HOME=$work
clip=$work/h264-1080p-gop10s.mp4
echo "bench-intervallo: making the clip in $work"
ffmpeg -v error -f lavfi -i "testsrc2=size=1920x1080:rate=25" -t 60 \
    -c:v libx264 -preset veryfast -g 250 -keyint_min 250 -sc_threshold 0 -bf 3 -pix_fmt yuv420p \
    "$clip"

best() { sort -g | head -n 1; }
now_ms() { date +%s%3N; }

run_ffmpeg() {
    rm -rf "$work/ff" && mkdir "$work/ff"
    local t0 t1
    t0=$(now_ms)
    ffmpeg -v error -i "$clip" -vf "select=not(mod(n\,25))" -vsync 0 -q:v 2 "$work/ff/out%03d.jpg"
    t1=$(now_ms)
    echo $((t1 - t0))
}

run_kelvara() {
    rm -rf "$work/kv" && mkdir "$work/kv"
    local t0 t1
    t0=$(now_ms)
    "$kelvara" "/o=$clip" "/savfold=$work/kv" /ej /qual=90 /an /arNat /idelai=25 /iunit=0 \
        /inter /quit 2>/dev/null
    t1=$(now_ms)
    echo $((t1 - t0))
}

ff=$(for _ in $(seq "$runs"); do run_ffmpeg; done | best)
kv=$(for _ in $(seq "$runs"); do run_kelvara; done | best)
nff=$(ls "$work/ff" | wc -l)
nkv=$(ls "$work/kv" | wc -l)
echo "ffmpeg select filter: $nff pictures in $ff ms"
echo "kelvara intervalometer: $nkv pictures in $kv ms"
awk -v a="$kv" -v b="$ff" 'BEGIN { printf "ratio kelvara / ffmpeg: %.2f (below 1 is faster)\n", a / b }'
