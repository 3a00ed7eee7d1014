#!/usr/bin/env bash
# Playback throughput and seek latency of the media platform against FFmpeg's own decoding of
# the same files, measured in this script one after the other so that the ratios mean
# something on a loaded machine:
#   - a 1080p H.264 clip with long GOPs (20 s, a key frame every 10 s, B-frames, AAC) and a
#     PAL DV clip (20 s, AVI type 2), each played to its end without a clock through the
#     program's graph ("LAV Splitter Source", the decoders, the windowless video renderer and
#     the audio renderer), and through the same source and decoders into renderers that only
#     take the samples; both against `ffmpeg -f null` decoding of the file (its own "rtime");
#   - first-frame latency after a precise seek in the H.264 clip, paused, to frames just before
#     a key frame (the worst case: a whole GOP is decoded), in the middle of a GOP and on a key
#     frame; against `ffmpeg -ss T -frames:v 1 -f null` of the same frame.
# Every figure is the best of RUNS runs (3 by default).
#
# usage: scripts/bench-playback.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bin=$build/bin
runs=${RUNS:-3}
for tool in "$bin/bench_playback" "$bin/kelvara-mksample"; do
    if [ ! -x "$tool" ]; then
        echo "bench-playback: $tool is missing; build the targets bench_playback and kelvara-mksample" >&2
        exit 1
    fi
done
command -v ffmpeg >/dev/null || { echo "bench-playback: ffmpeg is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR=$work

echo "bench-playback: making the clips in $work"
ffmpeg -v error -f lavfi -i "testsrc2=size=1920x1080:rate=25" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000" -t 20 \
    -c:v libx264 -preset veryfast -g 250 -bf 3 -pix_fmt yuv420p -c:a aac -shortest \
    "$work/h264-1080p.mp4"
"$bin/kelvara-mksample" dv "$work/dv-pal.avi" --system pal --seconds 20 --avi-type 2 >/dev/null

# The smallest of the numbers on standard input.
best() { sort -g | head -n 1; }

ffmpeg_decode() { # file -> seconds of FFmpeg's decoding loop
    ffmpeg -hide_banner -nostats -benchmark -i "$1" -f null - 2>&1 |
        sed -n 's/.*rtime=\([0-9.]*\)s.*/\1/p'
}
ffmpeg_seek() { # file seconds -> seconds to the first frame at that position
    ffmpeg -hide_banner -nostats -benchmark -ss "$2" -i "$1" -frames:v 1 -f null - 2>&1 |
        sed -n 's/.*rtime=\([0-9.]*\)s.*/\1/p'
}
graph_play() { # mode file -> seconds from Run to EC_COMPLETE
    "$bin/bench_playback" "$1" "$2" 2>/dev/null | sed -n 's/^play_seconds=//p'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

printf '\n%-16s %10s %12s %8s %12s %8s\n' clip "ffmpeg s" "graph s" ratio "decoders s" ratio
for clip in h264-1080p.mp4 dv-pal.avi; do
    file=$work/$clip
    ff=$(for _ in $(seq "$runs"); do ffmpeg_decode "$file"; done | best)
    play=$(for _ in $(seq "$runs"); do graph_play play "$file"; done | best)
    decode=$(for _ in $(seq "$runs"); do graph_play decode "$file"; done | best)
    printf '%-16s %10.3f %12.3f %8s %12.3f %8s\n' "$clip" "$ff" "$play" "$(ratio "$play" "$ff")" \
        "$decode" "$(ratio "$decode" "$ff")"
done

echo
echo "first frame after a precise seek, paused (1080p H.264, key frames at 0 s and 10 s):"
printf '%-28s %10s %12s %8s\n' position "ffmpeg ms" "graph ms" ratio
file=$work/h264-1080p.mp4
for position in 9.96 5.00 10.00 19.96; do
    ff=$(for _ in $(seq "$runs"); do ffmpeg_seek "$file" "$position"; done | best)
    ours=$(for _ in $(seq "$runs"); do
        "$bin/bench_playback" seek "$file" "$position" 2>/dev/null | sed -n 's/^seek_ms=\([0-9.]*\).*/\1/p'
    done | best)
    ffms=$(awk -v s="$ff" 'BEGIN { printf "%.1f", s * 1000 }')
    printf '%-28s %10s %12s %8s\n' "$position s" "$ffms" "$ours" "$(ratio "$ours" "$ffms")"
done
