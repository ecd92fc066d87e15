#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# An asset pack as a Windows zip reaches a Linux player: unpacked without -O cp932,
# its folder's name is Shift-JIS bytes; dat.txt was saved by Notepad as "Unicode"
# (UTF-16LE with a BOM, CR LF); bgm.wav is IMA ADPCM. The game plays it: scene
# pictures show, the murmurs show as the same pack in UTF-8 shows them, nothing is
# reported on stderr, and the music reaches a PulseAudio null sink and goes on
# round after round without a break.
# Usage: windows_pack.sh path/to/sorawata
source "$(dirname "$0")/lib.sh"

e2e_start_xvfb
e2e_start_null_sink windows

# Long enough to tell from the title text that shows before the first murmur.
murmur="ねむれない夜は時計の音が大きい"

# The murmurs all say the same and the scenes are all one colour, so that any
# murmur on screen looks the same in either pack.
same_murmurs() {
    local i
    for i in $(seq 1 15); do printf '%s\r\n' "$murmur"; done
}
one_scene_colour() {
    local i
    for i in 1 2 3 4; do cp "$1/img/0.jpg" "$1/img/$i.jpg"; done
}

# murmur_crop FILE: the top strip of the picture, where the murmur is, from a new screenshot.
murmur_crop() {
    shot=$(e2e_screenshot murmur)
    convert "$shot" -crop "$((E2E_AREA_W * 4 / 9))x$((E2E_AREA_H / 6))+$E2E_AREA_X+$E2E_AREA_Y" "$1"
}
murmur_shown() { murmur_crop "$1" && e2e_long_murmur_in "$shot"; }

# looks_like_control: the murmur strip as it shows in the UTF-8 pack, but for a few pixels.
looks_like_control() {
    murmur_crop "$folder.murmur.png"
    differing=$(compare -metric AE "$folder.murmur.png" "$control.murmur.png" null: 2>&1 || true)
    ((differing <= 20))
}

# play_pack FOLDER: starts the game in FOLDER and leaves it running once a scene shows.
play_pack() {
    e2e_install_game "$1"
    e2e_launch "$1"
    e2e_find_game_window
    e2e_measure_area
    local scene
    E2E_POLL=0.2 e2e_wait 30 murmur_shown "$1.murmur.png" || fail "no murmur shows in $1"
    scene=$(e2e_scene_colour "$shot" || echo none)
    [[ $scene == 0 ]] || fail "the scene shows $scene, expected 0"
}

# The same pack in UTF-8, for the murmur as it should look.
control="$E2E_WORK/control"
e2e_make_assets "$control" UTF-8
same_murmurs >"$control/dat.txt"
one_scene_colour "$control"
play_pack "$control"
kill "$E2E_GAME_PID"
wait "$E2E_GAME_PID" 2>/dev/null || true

folder="$E2E_WORK/$(printf '\x83\x54\x83\x93\x83\x76\x83\x8b')" # サンプル in Shift-JIS
e2e_make_assets "$folder"
one_scene_colour "$folder"
{
    printf '\xFF\xFE'
    same_murmurs | iconv -f UTF-8 -t UTF-16LE
} >"$folder/dat.txt"
sox -n -r 22050 -c 2 -b 16 "$E2E_WORK/tone.wav" synth 1 sine 440 vol 0.5
sox "$E2E_WORK/tone.wav" -e ima-adpcm "$folder/bgm.wav"

recording=$E2E_WORK/sink.raw
parec --raw --format=s16le --rate=44100 --channels=2 -d windows.monitor >"$recording" &
E2E_PIDS+=($!)
recorder=$!
play_pack "$folder"
E2E_POLL=0.2 e2e_wait 30 looks_like_control ||
    fail "the murmur differs from the same murmur in UTF-8 in $differing pixels"
[[ ! -s $E2E_WORK/game.err ]] || fail "stderr: $(cat "$E2E_WORK/game.err")"

# RMS of each quarter second of the recording, from the first one with the tone
# in it: every one of the next three seconds (three rounds of the one-second
# music) must hold the tone too.
rms_at() {
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$recording" -n trim "$1" 0.25 stat 2>&1 |
        awk '/^RMS +amplitude/ { print $3 }'
}
loud() { awk -v rms="$1" 'BEGIN { exit !(rms > 0.2) }'; }
quarters_recorded() { echo $(($(stat -c %s "$recording") / (44100 * 4 / 4))); }
# Sets start to the first quarter second with the tone in it, looking from quarter $start on.
start=0
tone_heard() {
    local at
    while ((start < $(quarters_recorded))); do
        at=$(awk -v q="$start" 'BEGIN { print q / 4 }')
        loud "$(rms_at "$at")" && return 0
        start=$((start + 1))
    done
    return 1
}
e2e_wait 30 tone_heard || fail "no music reached the sink in $(($(quarters_recorded) / 4)) s of recording"
three_rounds_recorded() { (($(quarters_recorded) >= start + 13)); }
e2e_wait 30 three_rounds_recorded || fail "the recording stopped growing at $(quarters_recorded) quarter seconds"
kill "$recorder"
for quarter in $(seq "$start" $((start + 12))); do
    at=$(awk -v q="$quarter" 'BEGIN { print q / 4 }')
    rms=$(rms_at "$at")
    loud "$rms" || fail "the music breaks off $(awk -v q="$((quarter - start))" 'BEGIN { print q / 4 }') s in (RMS $rms)"
done
echo "the tone plays through $((13 / 4)) s and more: the one-second music loops"

e2e_pass
