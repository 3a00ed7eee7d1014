#!/usr/bin/env bash
# Frame-exact seeking through the navigation manager (kelvara-info --at, the paused graph) against
# FFmpeg's own `ffmpeg -ss T -i FILE -frames:v 1` landing on the same frame, measured one after
# the other in this script so that the ratios mean something on a loaded machine. The clip is
# 1080p H.264 with 10-second GOPs (a key frame every 250 frames, B-frames), 30 s long:
#   - a precise seek to a frame in the middle of a GOP (frame 375, 5 s after the key frame at 250);
#   - a one-frame back-step from there (frame 374), the navigation's own step back;
#   - a seek to the frame just before a key frame (frame 499, a whole GOP decoded).
# Our figure is the seek's own time as kelvara-info reports it (seek_ms), on a graph already open
# and paused; FFmpeg's is its whole run as it reports it (rtime), opening the file included, so
# its run to frame 0 is printed too: what it costs FFmpeg to open the file and show a key frame.
# Every figure is the best of RUNS runs (3 by default).
#
# usage: scripts/bench-seek.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bin=$build/bin
runs=${RUNS:-3}
for tool in "$bin/kelvara-info"; do
    [ -x "$tool" ] || { echo "bench-seek: $tool is missing; build kelvara-info" >&2; exit 1; }
done
command -v ffmpeg >/dev/null || { echo "bench-seek: ffmpeg is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work
clip=$work/h264-1080p-gop10s.mp4
echo "bench-seek: making the clip in $work"
ffmpeg -v error -f lavfi -i "testsrc2=size=1920x1080:rate=25" -t 30 \
    -c:v libx264 -preset veryfast -g 250 -keyint_min 250 -sc_threshold 0 -bf 3 -pix_fmt yuv420p \
    "$clip"

best() { sort -g | head -n 1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

ffmpeg_seek() { # frame -> milliseconds of FFmpeg's loop to that frame
    local t
    t=$(awk -v f="$1" 'BEGIN { printf "%.2f", f / 25 }')
    ffmpeg -hide_banner -nostats -benchmark -ss "$t" -i "$clip" -frames:v 1 -f null - 2>&1 |
        sed -n 's/.*rtime=\([0-9.]*\)s.*/\1/p' | awk '{ printf "%.1f\n", $1 * 1000 }'
}
our_seek() { # list index -> milliseconds of seek number index of the list
    "$bin/kelvara-info" --json --at "$1" "$clip" |
        sed -n 's/.*"seek_ms": \([0-9.]*\).*/\1/p' | sed -n "${2}p"
}

printf '\n%-34s %10s %10s %8s\n' seek "ffmpeg ms" "ours ms" ratio
row() { # name list index frame
    local ff ours
    ff=$(for _ in $(seq "$runs"); do ffmpeg_seek "$4"; done | best)
    ours=$(for _ in $(seq "$runs"); do our_seek "$2" "$3"; done | best)
    printf '%-34s %10s %10s %8s\n' "$1" "$ff" "$ours" "$(ratio "$ours" "$ff")"
}
printf '%-34s %10s\n' "ffmpeg to frame 0 (opening)" \
    "$(for _ in $(seq "$runs"); do ffmpeg_seek 0; done | best)"
row "mid-GOP (frame 375)" "#375" 1 375
row "one frame back (375 -> 374)" "#375,#374" 2 374
row "before a key frame (frame 499)" "#499" 1 499
