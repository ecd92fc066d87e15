#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT
#
# The music comes back when the sound server does. Once the server is killed
# after 3 s of play and started again 3 s later at the same socket; once the
# game starts 3 s before any server. Each time the music reaches the server's
# null sink again, the game stays up, and its stderr holds one line for the
# missing or lost output and one for its return, nothing else. Prints the time
# from each return to the first sound, which bench/sound_server_return.sh
# measures against its goal.
# Usage: sound_server.sh path/to/sorawata
source "$(dirname "$0")/lib.sh"

sink=comeback
rate=8000  # of the recording
loud=4000  # the test music peaks at half of full scale, 16384
recordings=0

e2e_start_xvfb
folder="$E2E_WORK/game"
e2e_make_assets "$folder"
sox -n -r 22050 -c 1 -b 16 "$folder/bgm.wav" synth 2 sine 440 vol 0.5
e2e_install_game "$folder"

# Starts the sound server, a silent stream at a sound card's latency that
# keeps the null sink playing, and a recording of what the sink plays. Sets
# recording and server_up (nanoseconds).
start_server() {
    E2E_POLL=0.01 e2e_start_null_sink "$sink"
    server_up=$(date +%s%N)
    pacat --playback --latency-msec=20 --raw /dev/zero 2>/dev/null &
    E2E_PIDS+=($!)
    # A null sink renders its first two seconds in one block as it loads, and
    # a recording hears them only once they have passed. Suspended and resumed
    # with the silent stream attached, it renders in small blocks from then on,
    # as a sound card does.
    E2E_POLL=0.01 e2e_wait 30 sink_has_input || fail "the silent stream did not start"
    pactl suspend-sink "$sink" 1
    pactl suspend-sink "$sink" 0
    recording=$E2E_WORK/sink-$((++recordings)).raw
    parec --latency-msec=20 -d "$sink.monitor" --raw --format=s16le --rate=$rate --channels=1 \
        >"$recording" 2>/dev/null &
    E2E_PIDS+=($!)
}

sink_has_input() {
    [[ -n $(pactl list short sink-inputs 2>/dev/null) ]]
}

# True once the recording holds a loud sample.
music_recorded() {
    od -An -v -td2 -w2 "$recording" | awk -v loud=$loud '$1 > loud || $1 < -loud { found = 1; exit } END { exit !found }'
}

# Waits for the music in the recording; prints the seconds from the server's
# return to the moment it is there (which includes the recording's latency).
seconds_to_music() {
    E2E_POLL=0.02 e2e_wait 30 music_recorded || return 1
    awk -v up="$server_up" -v now="$(date +%s%N)" 'BEGIN { printf "%.2f\n", (now - up) / 1e9 }'
}

# expect_music_back WHAT: the music after the server's return.
expect_music_back() {
    local seconds
    seconds=$(seconds_to_music) || fail "$1: no music reaches the sink after the server's return"
    echo "$1: music $seconds s after the server's return"
}

# expect_stderr WHAT FIRST-LINE-START: the line for the missing or lost output, then the return.
expect_stderr() {
    local lines
    mapfile -t lines <"$E2E_WORK/game.err"
    if ((${#lines[@]} != 2)) || [[ ${lines[0]} != "$2"* || ${lines[1]} != *"plays from the start" ]]; then
        fail "$1: stderr is not the two lines expected: $(cat "$E2E_WORK/game.err")"
    fi
}

# server_returns WHAT FIRST-LINE: after 3 s without a sound server one starts;
# the game lives on throughout and the music comes back. Stops the game.
server_returns() {
    sleep 3
    e2e_game_running || fail "$1: the game stopped without a sound server: $(cat "$E2E_WORK/game.err")"
    start_server
    expect_music_back "$1"
    e2e_game_running || fail "$1: the game stopped once the server was back: $(cat "$E2E_WORK/game.err")"
    expect_stderr "$1" "$2"
    kill "$E2E_GAME_PID"
    wait "$E2E_GAME_PID" 2>/dev/null || true
}

# The server goes away after 3 s of music.
start_server
e2e_launch "$folder"
e2e_find_game_window
seconds_to_music >/dev/null || fail "no music reaches the sink at the start"
sleep 3
e2e_stop_null_sink
server_returns "server restarted" "sorawata: the music's audio output was lost ("

# The game starts before the server.
e2e_stop_null_sink
e2e_launch "$folder"
e2e_find_game_window
server_returns "server started after the game" "sorawata: no audio output for the music ("

e2e_pass
