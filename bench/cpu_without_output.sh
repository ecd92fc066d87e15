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
# shellcheck source=bench/lib.sh
source "$(dirname "$0")/lib.sh"

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

launch_with_music() {
    launch_at "$with_music" 0
    music_pid=$E2E_GAME_PID music_window=$E2E_WINDOW
}

launch_without_music() {
    launch_at "$without_music" 384
    silent_pid=$E2E_GAME_PID silent_window=$E2E_WINDOW
}

both_at_ending() {
    at_ending "$music_window" && at_ending "$silent_window"
}

: >"$E2E_WORK/rounds"
for ((round = 1; round <= rounds; round++)); do
    # Each round the other game starts first, so that neither gains from the order.
    if ((round % 2)); then
        launch_with_music
        launch_without_music
    else
        launch_without_music
        launch_with_music
    fi
    E2E_POLL=1 e2e_wait 180 both_at_ending || fail "round $round: no ending within 180 s"
    cpu_seconds_side_by_side "$seconds" "$music_pid" "$silent_pid" |
        awk -v t="$seconds" '{ printf "%.3f %.3f\n", 100 * $1 / t, 100 * $2 / t }' |
        tee -a "$E2E_WORK/rounds" |
        awk '{ printf "round: bgm.wav, no output %.2f %%, no bgm.wav %.2f %% of a core, difference %+.2f\n",
               $1, $2, $1 - $2 }'
done
difference=$(awk '{ print $1 - $2 }' "$E2E_WORK/rounds" | median)
printf "median difference: %+.2f %% of a core (goal <= 0.2)\n" "$difference"
awk -v d="$difference" 'BEGIN { exit !(d <= 0.2) }' ||
    fail "waiting for an output costs more than a missing bgm.wav"
e2e_pass
