#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT
#
# The game with a hostile bgm.wav beside the same game with the default pack, in the same run, on
# one private X server (openbox, to close the window as a player does) and PulseAudio null sink.
# Each hostile pack is the build's default assets with bgm.wav replaced by a FLAC file of a
# quarter second padded with 31 MiB, 1 GiB, then 8 GiB (sparse), or by a damaged MP3. For each: the time
# from the launch to the first caption (the moods' readout), the lines on stderr in the first
# 20 s, the CPU of both games over SECONDS of looping, the time from Alt+F4 to the end of the
# process, and `sorawata --check`'s verdict and time.
# Goals for any bgm.wav: first caption within 2 s, CPU at most 10 % of a core, closing within 1 s.
# usage: hostile_music.sh BUILD_DIR [SECONDS] [GAME]
#   BUILD_DIR must hold hostile_music_files; GAME: the executable to measure, by default
#   BUILD_DIR/sorawata (another build's, to compare)
build=$(cd "${1:?usage: hostile_music.sh BUILD_DIR [SECONDS] [GAME]}" && pwd)
seconds=${2:-60}
source "$(dirname "$0")/../tests/e2e/lib.sh" "${3:-$build/sorawata}"
# shellcheck source=bench/lib.sh
source "$(dirname "$0")/lib.sh"

e2e_start_xvfb
e2e_start_openbox
e2e_start_null_sink hostile

# pack FOLDER: the default assets of the build, and the game.
pack() {
    mkdir -p "$1"
    cp -r "$build/img" "$build/dat.txt" "$build/end0.txt" "$build/end1.txt" "$build/bgm.wav" "$1"
    e2e_install_game "$1"
}

# launch FOLDER: the game of FOLDER, its stderr into FOLDER.err; sets LAUNCHED.
launch() {
    (cd "$E2E_WORK" && exec "$1/sorawata" 2>"$1.err") &
    LAUNCHED=$!
    E2E_PIDS+=("$LAUNCHED")
}

now() { date +%s.%N; }
since() { awk -v from="$1" -v to="$(now)" 'BEGIN { printf "%.2f", to - from }'; }

readout_shown() {
    local window
    window=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -n1)
    [[ -n $window ]] && e2e_is_readout "$(e2e_caption "$window")"
}

default=$E2E_WORK/default
pack "$default"
failed=0
# measure NAME WRITER...: one round of the default pack beside the pack whose bgm.wav WRITER makes.
measure() {
    local name=$1 hostile=$E2E_WORK/$1 started default_pid pid caption lines window closing check
    shift
    pack "$hostile"
    rm "$hostile/bgm.wav"
    "$build/hostile_music_files" "$1" "$hostile/bgm.wav" "${@:2}"

    started=$(now)
    check=$("$E2E_GAME" --check "$hostile" 2>&1 | grep '^bgm.wav' || true)
    printf '%s: --check %s s, exit %s: %s\n' "$name" "$(since "$started")" \
        "$("$E2E_GAME" --check "$hostile" >/dev/null 2>&1 && echo 0 || echo 1)" "$check"

    launch "$default"
    default_pid=$LAUNCHED
    started=$(now)
    launch "$hostile"
    pid=$LAUNCHED
    caption=none
    e2e_wait 30 readout_shown "$pid" && caption=$(since "$started")
    sleep "$(awk -v s="$(since "$started")" 'BEGIN { print s < 20 ? 20 - s : 0 }')"
    lines=$(wc -l <"$hostile.err")
    read -r hostile_cpu default_cpu < <(
        a=$(cpu_ticks "$pid")
        b=$(cpu_ticks "$default_pid")
        sleep "$seconds"
        awk -v a=$(($(cpu_ticks "$pid") - a)) -v b=$(($(cpu_ticks "$default_pid") - b)) \
            -v hz="$(getconf CLK_TCK)" -v t="$seconds" \
            'BEGIN { printf "%.2f %.2f\n", 100 * a / hz / t, 100 * b / hz / t }'
    )
    window=$(xdotool search --onlyvisible --pid "$pid" | head -n1)
    xdotool windowactivate --sync "$window"
    started=$(now)
    xdotool key --clearmodifiers alt+F4
    closing=none
    e2e_wait 30 eval "! kill -0 $pid 2>/dev/null" && closing=$(since "$started")
    kill "$default_pid" "$pid" 2>/dev/null || true
    wait "$default_pid" "$pid" 2>/dev/null || true
    printf '%s: first caption %s s, %s stderr lines in 20 s, CPU %s %% of a core (default pack %s %%), closing %s s\n' \
        "$name" "$caption" "$lines" "$hostile_cpu" "$default_cpu" "$closing"
    [[ $lines -gt 1 ]] && sed 's/^/    /' "$hostile.err" | sort | uniq -c | sort -rn | head -n 5
    awk -v c="$caption" -v cpu="$hostile_cpu" -v closed="$closing" \
        'BEGIN { exit !(c != "none" && c <= 2 && cpu <= 10 && closed != "none" && closed <= 1) }' ||
        failed=1
}

# Just within the budget: played, and held whole, so the padding is read once.
measure flac-padded-31MiB flac-padding $((31 << 20))
measure flac-padded-1GiB flac-padding $((1 << 30))
measure flac-padded-8GiB flac-padding $((8 << 30))
measure damaged-mp3 damaged-mp3
((failed == 0)) || fail "a hostile bgm.wav misses a goal (caption 2 s, CPU 10 %, closing 1 s)"
e2e_pass
