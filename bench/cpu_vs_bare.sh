#!/bin/sh
# CPU used by the game over SECONDS of play (music looping, 1 ms music poll)
# against a bare Qt window with a 1 ms timer, both measured in this run on a
# private X server and a private PulseAudio null sink, after both have
# settled. Goal: at most 1.5 times.
# usage: cpu_vs_bare.sh BUILD_DIR [SECONDS]
set -eu
build=$(cd "${1:?usage: cpu_vs_bare.sh BUILD_DIR [SECONDS]}" && pwd)
seconds=${2:-20}
[ -x "$build/sorawata" ] || { echo "no game executable at $build/sorawata" >&2; exit 2; }
[ -x "$build/bare_timer_window" ] || { echo "build the bare_timer_window target first" >&2; exit 2; }

work=$(mktemp -d)
display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
XDG_RUNTIME_DIR=$work HOME=$work pulseaudio --daemonize=no --exit-idle-time=-1 --system=false \
    -n --use-pid-file=false --log-level=0 -L "module-null-sink sink_name=cpu" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$work/native" >/dev/null 2>&1 &
pulse=$!
trap 'kill $xvfb $pulse 2>/dev/null; rm -rf "$work"' EXIT
i=0
while [ ! -S "$work/native" ] && [ $i -lt 250 ]; do sleep 0.02; i=$((i + 1)); done
sleep 1

export DISPLAY=$display PULSE_SERVER=unix:$work/native QT_MEDIA_BACKEND=gstreamer
unset QT_QPA_PLATFORM
ticks_per_second=$(getconf CLK_TCK)

# Runs the command and prints the CPU seconds it used over $seconds of
# steady play, after a settling time (start-up is the start-up benchmark's).
settle=3
cpu_seconds() {
    "$@" >/dev/null 2>&1 &
    pid=$!
    sleep "$settle"
    before=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
    sleep "$seconds"
    ticks=$(awk -v b="$before" '{ print $14 + $15 - b }' "/proc/$pid/stat")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v t="$ticks" -v hz="$ticks_per_second" 'BEGIN { printf "%.2f", t / hz }'
}

bare=$(cpu_seconds "$build/bare_timer_window")
game=$(cpu_seconds "$build/sorawata")
awk -v b="$bare" -v g="$game" -v s="$seconds" 'BEGIN {
    printf "bare window, 1 ms timer: %.2f s CPU in %d s (%.1f %%)\n", b, s, 100 * b / s
    printf "game with music:         %.2f s CPU in %d s (%.1f %%)\n", g, s, 100 * g / s
    printf "ratio game / bare: %.2f (goal <= 1.5)\n", g / b
    exit (g <= 1.5 * b) ? 0 : 1
}'
