#!/usr/bin/env bash
# Drives kelvara on a real X server: starts Xvfb, starts the program on a clip, grabs with F5,
# steps a frame with Ctrl+Right, grabs with a left click on the video, quits with Alt+F4.
#   drive.sh KELVARA CLIP PICTURES SHOTS
# Exit status: 0 when the program ended by itself with status 0; 77 when Xvfb or xdotool are
# missing; otherwise the failing step's status. Each step is logged on standard error.
set -u
kelvara=$1 clip=$2 pictures=$3 shots=$4
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || exit 77

display=":$((60 + $$ % 200))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
kelvara_pid=
cleanup() {
    [ -n "$kelvara_pid" ] && kill "$kelvara_pid" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getmouselocation >/dev/null 2>&1 || { echo "Xvfb did not start" >&2; exit 3; }

QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy "$kelvara" "$clip" "/savfold=$pictures" /an /sq=1 &
kelvara_pid=$!

pictures_count() { find "$pictures" -maxdepth 1 -type f -name '*.bmp' | wc -l; }
wait_pictures() { # N: waits until N pictures are there
    for _ in $(seq 200); do [ "$(pictures_count)" -ge "$1" ] && return 0; sleep 0.1; done
    echo "after $2: $(pictures_count) pictures, $1 expected" >&2
    return 1
}
# A picture of the whole screen as PNG (xwd, converted by ffmpeg); nothing when either is missing.
shot() {
    command -v xwd >/dev/null && command -v ffmpeg >/dev/null || return 0
    xwd -root -silent > "$shots/xvfb-$1.xwd" 2>/dev/null &&
        ffmpeg -v error -y -i "$shots/xvfb-$1.xwd" "$shots/xvfb-$1.png" 2>/dev/null
    rm -f "$shots/xvfb-$1.xwd"
    true
}

window=
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name 'by Osric Taskel' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "no main window" >&2; exit 4; }
sleep 3 # the switches are applied at the first activation: the clip opens
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
shot opened

xdotool key --clearmodifiers F5
wait_pictures 1 "F5" || exit 5
xdotool key --clearmodifiers ctrl+Right
sleep 1.5 # the step is shown before the click
# The middle of the video host, from the window's size and the layout of its client area.
eval "$(xdotool getwindowgeometry --shell "$window")"
x=$((276 + 8 + 11 + (WIDTH - 314) / 2))
y=$((HEIGHT - 24 - 80 - (HEIGHT - 238 - 30) / 2))
xdotool mousemove --window "$window" "$x" "$y" click 1
wait_pictures 2 "a click at $x,$y of ${WIDTH}x$HEIGHT" || exit 6
shot grabbed

xdotool key --clearmodifiers alt+F4
for _ in $(seq 100); do kill -0 "$kelvara_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$kelvara_pid" 2>/dev/null; then
    echo "Alt+F4 did not close the program" >&2
    exit 7
fi
wait "$kelvara_pid"
status=$?
kelvara_pid=
exit "$status"
