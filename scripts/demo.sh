#!/usr/bin/env bash
# The quick start: installs what is missing, builds the program, the sample maker and
# kelvara-info, records a short "DV tape" of two scenes (each with its own recording date and time
# code) and prints its scenes and first frames, read back frame by frame through the program's own
# DV decoding; then opens the program on a sample clip (headless when there is no display: there
# it grabs the first frame and says where the picture went).
#   scripts/demo.sh              build in build/, the tape in build/demo/tape.dv
#   BUILD=dir scripts/demo.sh    build in dir/ instead
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD:-build}
jobs=${JOBS:-$(nproc)}

scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" -j "$jobs" --target kelvara kelvara-mksample kelvara-info

demo="$build/demo"
mkdir -p "$demo"
mksample="$build/bin/kelvara-mksample"
info="$build/bin/kelvara-info"

# Two recordings on one tape: New Year's Eve across midnight, then the next morning.
"$mksample" dv "$demo/scene1.dv" --system pal --seconds 3 \
    --date 2005-12-31T23:59:58 --timecode 00:00:00:00 > /dev/null
"$mksample" dv "$demo/scene2.dv" --system pal --seconds 2 \
    --date 2006-01-01T10:30:00 --timecode 00:00:03:00 > /dev/null
cat "$demo/scene1.dv" "$demo/scene2.dv" > "$demo/tape.dv"
rm -f "$demo/scene1.dv" "$demo/scene2.dv"

echo
echo "== The scenes of $demo/tape.dv"
"$info" --scenes "$demo/tape.dv"
echo
echo "== Its first frames"
"$info" --frames 8 "$demo/tape.dv"
echo
echo "Try: $info --csv $demo/tape.dv"

# The program itself on a DV clip in AVI: in a window when there is a display (close it to end),
# else headless, where it opens the clip paused on its first frame, grabs that frame into
# build/demo/pictures and quits; the script then says which picture it wrote.
"$mksample" dv "$demo/clip.avi" --system pal --seconds 4 --avi-type 1 \
    --date 2005-12-25T15:04:05 --timecode 01:02:03:04 > /dev/null
kelvara="$build/bin/kelvara"
pictures="$demo/pictures"
rm -rf "$pictures" # a picture of an earlier run would bring the overwrite question
mkdir -p "$pictures"
echo
status=2
case "${QT_QPA_PLATFORM:-}" in
offscreen* | minimal*) ;;
*) status=0; "$kelvara" "$demo/clip.avi" || status=$? ;;
esac
if [ "$status" -eq 2 ]; then
    echo "== No display: kelvara opens $demo/clip.avi headless, grabs its first frame and quits"
    QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
        "$kelvara" "/o=$demo/clip.avi" "/savfold=$pictures" /g /quit
    written=$(find "$pictures" -maxdepth 1 -type f | head -1)
    if [ -z "$written" ]; then
        echo "kelvara wrote no picture into $pictures" >&2
        exit 1
    fi
    echo "kelvara grabbed the frame shown into $written"
elif [ "$status" -ne 0 ]; then
    exit "$status"
fi
