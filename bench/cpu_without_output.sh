#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT
#
# CPU of the game at an ending with bgm.wav but no sound server, against the
# same game without bgm.wav, side by side on one private X server: waiting for
# an audio output must cost no more than a missing music file. Each round both
# play their evening out alone until each shows an ending, then their CPU is
# counted over SECONDS. Goal: the median difference over ROUNDS rounds within
# 0.2 % of a core.
# usage: cpu_without_output.sh BUILD_DIR [SECONDS] [ROUNDS]
build=$(cd "${1:?usage: cpu_without_output.sh BUILD_DIR [SECONDS] [ROUNDS]}" && pwd)
seconds=${2:-30}
rounds=${3:-3}
source "$(dirname "$0")/../tests/e2e/lib.sh" "$build/sorawata"

e2e_start_xvfb
e2e_use_null_sink # a socket no server listens on
with_music=$E2E_WORK/with-music
without_music=$E2E_WORK/without-music
e2e_make_assets "$with_music"
e2e_install_game "$with_music"
e2e_make_assets "$without_music"
rm "$without_music/bgm.wav"
e2e_install_game "$without_music"
ticks_per_second=$(getconf CLK_TCK)

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# launch_at FOLDER Y: starts the game in FOLDER with its window at (0, Y); sets
# E2E_GAME_PID and E2E_WINDOW.
launch_at() {
    e2e_launch "$1"
    e2e_find_game_window
    xdotool windowmove --sync "$E2E_WINDOW" 0 "$2"
}

# at_ending WINDOW: the window shows one of the two endings.
at_ending() {
    E2E_WINDOW=$1
    e2e_measure_area
    [[ $(e2e_scene_colour "$(e2e_screenshot "ending-$1")" || true) == end* ]]
}

both_at_ending() {
    at_ending "$music_window" && at_ending "$silent_window"
}

: >"$E2E_WORK/rounds"
for ((round = 1; round <= rounds; round++)); do
    launch_at "$with_music" 0
    music_pid=$E2E_GAME_PID music_window=$E2E_WINDOW
    launch_at "$without_music" 384
    silent_pid=$E2E_GAME_PID silent_window=$E2E_WINDOW
    E2E_POLL=1 e2e_wait 180 both_at_ending || fail "round $round: no ending within 180 s"
    music_before=$(cpu_ticks "$music_pid")
    silent_before=$(cpu_ticks "$silent_pid")
    sleep "$seconds"
    music_used=$(($(cpu_ticks "$music_pid") - music_before))
    silent_used=$(($(cpu_ticks "$silent_pid") - silent_before))
    kill "$music_pid" "$silent_pid"
    wait "$music_pid" "$silent_pid" 2>/dev/null || true
    awk -v m="$music_used" -v s="$silent_used" -v hz="$ticks_per_second" -v t="$seconds" \
        'BEGIN { printf "%.3f %.3f\n", 100 * m / hz / t, 100 * s / hz / t }' | tee -a "$E2E_WORK/rounds" |
        awk '{ printf "round: bgm.wav, no output %.2f %%, no bgm.wav %.2f %% of a core, difference %+.2f\n",
               $1, $2, $1 - $2 }'
done
awk '{ print $1 - $2 }' "$E2E_WORK/rounds" | sort -n | awk -v n="$rounds" '
    { difference[NR] = $1 }
    END {
        median = difference[int((n + 1) / 2)]
        printf "median difference: %+.2f %% of a core (goal <= 0.2)\n", median
        exit (median <= 0.2) ? 0 : 1
    }' || fail "waiting for an output costs more than a missing bgm.wav"
e2e_pass
