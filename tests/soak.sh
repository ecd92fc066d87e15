#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# Ten minutes of real play: the game with its real timers under Xvfb, the music
# looping into a private PulseAudio null sink, a change of mind every 10 s and
# a new game every 30 s. RSS is sampled every 10 s. Passes when, after the
# first minute, RSS stays within 2 MB and stderr stays empty.
# Not run by CTest; usage: soak.sh path/to/sorawata [SECONDS]
# The game plays with the assets beside the executable.
source "$(dirname "$0")/e2e/lib.sh"
seconds=${2:-600}
settle=60
flat_kb=2048

e2e_start_xvfb
e2e_start_null_sink soak

e2e_launch "$(dirname "$E2E_GAME")"
e2e_find_game_window
e2e_measure_area

music_playing() {
    [[ -n $(pactl list short sink-inputs 2>/dev/null) ]]
}
e2e_wait 10 music_playing || fail "no music reaches the sound server"

# A click that does not wait for the pointer to move: it may already be there.
click() {
    xdotool mousemove "$1" "$2" click 1
}

rss_kb() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$E2E_GAME_PID/status"
}

printf '%6s %10s %8s  %s\n' seconds "RSS (KB)" music caption
started=$SECONDS
low=
high=
while ((SECONDS - started < seconds)); do
    sleep 10
    e2e_game_running || fail "the game exited after $((SECONDS - started)) s: $(cat "$E2E_WORK/game.err")"
    elapsed=$((SECONDS - started))
    rss=$(rss_kb)
    music=$(music_playing && echo yes || echo no)
    caption=$(e2e_caption "$E2E_WINDOW")
    printf '%6d %10d %8s  %s\n' "$elapsed" "$rss" "$music" "$caption"
    [[ $music == yes ]] || fail "the music stopped after $elapsed s"
    if ((elapsed >= settle)); then
        low=$((${low:-rss} < rss ? ${low:-rss} : rss))
        high=$((${high:-0} > rss ? ${high:-0} : rss))
    fi
    if ((elapsed % 30 < 10)); then
        # shellcheck disable=SC2046
        click $(e2e_picture_centre)
    else
        # shellcheck disable=SC2046
        click $(e2e_option_centre $((RANDOM % 3)))
    fi
done

[[ -n $high ]] || fail "run longer than $settle s to judge RSS"
echo "after ${settle} s: RSS from $low to $high KB (spread $((high - low)) KB, allowed $flat_kb)"
echo "peak RSS (VmHWM): $(awk '/^VmHWM:/ { print $2 }' "/proc/$E2E_GAME_PID/status") KB"
[[ ! -s $E2E_WORK/game.err ]] || fail "stderr is not empty: $(cat "$E2E_WORK/game.err")"
((high - low <= flat_kb)) || fail "RSS moved by $((high - low)) KB after the first minute"
e2e_pass
