#!/bin/sh
# CPU used by the game over SECONDS of play (music looping, 1 ms music poll)
# against a bare Qt window with a 1 ms timer. Both run side by side on a
# private X server and a private PulseAudio null sink, so that they share the
# machine's load; the median ratio over ROUNDS rounds counts. Goal: at most 1.5.
# usage: cpu_vs_bare.sh BUILD_DIR [SECONDS] [ROUNDS]
set -eu
build=$(cd "${1:?usage: cpu_vs_bare.sh BUILD_DIR [SECONDS] [ROUNDS]}" && pwd)
seconds=${2:-20}
[ -x "$build/sorawata" ] || { echo "no game executable at $build/sorawata" >&2; exit 2; }
[ -x "$build/bare_timer_window" ] || { echo "build the bare_timer_window target first" >&2; exit 2; }

work=$(mktemp -d)
display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
XDG_RUNTIME_DIR=$work HOME=$work pulseaudio --daemonize=no --exit-idle-time=-1 --system=false \
    -n --use-pid-file=false --log-level=0 -L "module-null-sink sink_name=cpu" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$work/native" >/dev/null 2>&1 &
pulse=$!
trap 'kill $xvfb $pulse 2>/dev/null; rm -rf "$work"' EXIT
i=0
while [ ! -S "$work/native" ] && [ $i -lt 250 ]; do sleep 0.02; i=$((i + 1)); done
sleep 1

export DISPLAY=$display PULSE_SERVER=unix:$work/native
unset QT_QPA_PLATFORM
ticks_per_second=$(getconf CLK_TCK)

# Starts the game and the bare window side by side, so that both run under
# the same load, lets them settle (start-up is the start-up benchmark's), and
# prints "bare game" CPU seconds used over $seconds of steady play.
settle=3
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
one_round() {
    "$build/bare_timer_window" >/dev/null 2>&1 &
    bare_pid=$!
    "$build/sorawata" >/dev/null 2>&1 &
    game_pid=$!
    sleep "$settle"
    bare_before=$(cpu_ticks "$bare_pid")
    game_before=$(cpu_ticks "$game_pid")
    sleep "$seconds"
    bare_used=$(($(cpu_ticks "$bare_pid") - bare_before))
    game_used=$(($(cpu_ticks "$game_pid") - game_before))
    kill "$bare_pid" "$game_pid"
    wait "$bare_pid" "$game_pid" 2>/dev/null || true
    awk -v b="$bare_used" -v g="$game_used" -v hz="$ticks_per_second" \
        'BEGIN { printf "%.2f %.2f\n", b / hz, g / hz }'
}

rounds=${3:-3}
: >"$work/rounds"
i=0
while [ $i -lt "$rounds" ]; do
    one_round | tee -a "$work/rounds" | awk -v s="$seconds" \
        '{ printf "round: bare %.2f s, game %.2f s CPU in %d s, ratio %.2f\n", $1, $2, s, $2 / $1 }'
    i=$((i + 1))
done
awk '{ print $2 / $1 }' "$work/rounds" | sort -n | awk -v n="$rounds" '
    { ratio[NR] = $1 }
    END {
        median = ratio[int((n + 1) / 2)]
        printf "median ratio game / bare: %.2f (goal <= 1.5)\n", median
        exit (median <= 1.5) ? 0 : 1
    }'
