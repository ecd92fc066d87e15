#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT
#
# CPU of the game looping a very short bgm.wav against the same game with the default music (24 s),
# side by side on one private X server and PulseAudio null sink: a loop of any length must cost
# about what a long piece does. Each short loop (20 ms, and 5 frames) is measured in rounds of its
# own; each round both games settle, then their CPU is counted over SECONDS. Goal: the median
# difference over ROUNDS rounds within 1 % of a core.
# usage: cpu_short_loop.sh BUILD_DIR [SECONDS] [ROUNDS] [GAME]
#   GAME: the executable to measure, by default BUILD_DIR/sorawata (another build's, to compare)
build=$(cd "${1:?usage: cpu_short_loop.sh BUILD_DIR [SECONDS] [ROUNDS] [GAME]}" && pwd)
seconds=${2:-20}
rounds=${3:-3}
source "$(dirname "$0")/../tests/e2e/lib.sh" "${4:-$build/sorawata}"
# shellcheck source=bench/lib.sh
source "$(dirname "$0")/lib.sh"

e2e_start_xvfb
e2e_start_null_sink cpu

# pack FOLDER: the default assets of the build, and the game.
pack() {
    mkdir -p "$1"
    cp -r "$build/img" "$build/dat.txt" "$build/end0.txt" "$build/end1.txt" "$build/bgm.wav" "$1"
    e2e_install_game "$1"
}

long=$E2E_WORK/long
pack "$long"

settle=3
# measure NAME FRAMES: rounds of the default pack against one whose bgm.wav is FRAMES long.
measure() {
    local short=$E2E_WORK/$1 round long_pid short_pid
    pack "$short"
    sox -n -r 44100 -c 2 -b 16 "$short/bgm.wav" synth "$2s" sine 440 vol 0.3
    : >"$E2E_WORK/$1.rounds"
    for ((round = 1; round <= rounds; round++)); do
        e2e_launch "$long"
        long_pid=$E2E_GAME_PID
        e2e_launch "$short"
        short_pid=$E2E_GAME_PID
        sleep "$settle"
        cpu_seconds_side_by_side "$seconds" "$short_pid" "$long_pid" |
            awk -v t="$seconds" '{ printf "%.3f %.3f\n", 100 * $1 / t, 100 * $2 / t }' |
            tee -a "$E2E_WORK/$1.rounds" |
            awk -v name="$1" '{ printf "round: %s loop %.2f %%, 24 s music %.2f %% of a core, difference %+.2f\n",
                   name, $1, $2, $1 - $2 }'
    done
}

measure 20ms 882
measure 5-frames 5
failed=0
for name in 20ms 5-frames; do
    difference=$(awk '{ print $1 - $2 }' "$E2E_WORK/$name.rounds" | median)
    printf "%s loop, median difference: %+.2f %% of a core (goal <= 1)\n" "$name" "$difference"
    awk -v d="$difference" 'BEGIN { exit !(d <= 1) }' || failed=1
done
((failed == 0)) || fail "a short loop costs more than the default music"
e2e_pass
