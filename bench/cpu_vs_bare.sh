#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

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
# shellcheck source=bench/lib.sh
. "$(dirname "$0")/lib.sh"

# Starts the game and the bare window side by side, so that both run under
# the same load, lets them settle (start-up is the start-up benchmark's), and
# prints "bare game" CPU seconds used over $seconds of steady play.
settle=3
one_round() {
    "$build/bare_timer_window" >/dev/null 2>&1 &
    bare_pid=$!
    "$build/sorawata" >/dev/null 2>&1 &
    game_pid=$!
    sleep "$settle"
    cpu_seconds_side_by_side "$seconds" "$bare_pid" "$game_pid"
}

rounds=${3:-3}
: >"$work/rounds"
i=0
while [ $i -lt "$rounds" ]; do
    one_round | tee -a "$work/rounds" | awk -v s="$seconds" \
        '{ printf "round: bare %.2f s, game %.2f s CPU in %d s, ratio %.2f\n", $1, $2, s, $2 / $1 }'
    i=$((i + 1))
done
ratio=$(awk '{ print $2 / $1 }' "$work/rounds" | median)
printf "median ratio game / bare: %.2f (goal <= 1.5)\n" "$ratio"
awk -v r="$ratio" 'BEGIN { exit !(r <= 1.5) }'
