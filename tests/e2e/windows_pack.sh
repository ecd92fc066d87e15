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

murmur="ねむれない夜"

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

# murmur_shown SHOT: true when murmur-coloured text lies over the scene picture.
murmur_shown() {
    (($(e2e_count_colour "$1" "$E2E_AREA_X" "$E2E_AREA_Y" $((E2E_AREA_W * 4 / 9)) "$E2E_AREA_H" \
        "100 0 0") > 20))
}

# play_pack FOLDER: starts the game in FOLDER and leaves it running once a scene
# and a murmur show; the top strip of the picture, where the murmur is, goes to
# FOLDER.murmur.png.
play_pack() {
    e2e_install_game "$1"
    e2e_launch "$1"
    e2e_find_game_window
    e2e_measure_area
    sleep 1.5 # the title gives way to the first murmur
    E2E_POLL=0.2 e2e_wait 10 murmur_shown "$(e2e_screenshot murmur)" || fail "no murmur shows in $1"
    local shot scene
    shot=$(e2e_screenshot murmur)
    scene=$(e2e_scene_colour "$shot" || echo none)
    [[ $scene == 0 ]] || fail "the scene shows $scene, expected 0"
    convert "$shot" -crop "$((E2E_AREA_W * 4 / 9))x$((E2E_AREA_H / 6))+$E2E_AREA_X+$E2E_AREA_Y" \
        "$1.murmur.png"
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
differing=$(compare -metric AE "$folder.murmur.png" "$control.murmur.png" null: 2>&1 || true)
((differing <= 20)) || fail "the murmur differs from the same murmur in UTF-8 in $differing pixels"
[[ ! -s $E2E_WORK/game.err ]] || fail "stderr: $(cat "$E2E_WORK/game.err")"

# RMS of each quarter second of the recording, from the first one with the tone
# in it: every one of the next three seconds (three rounds of the one-second
# music) must hold the tone too.
rms_at() {
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$recording" -n trim "$1" 0.25 stat 2>&1 |
        awk '/^RMS +amplitude/ { print $3 }'
}
loud() { awk -v rms="$1" 'BEGIN { exit !(rms > 0.2) }'; }
recorded_quarters() { echo $(($(stat -c %s "$recording") / (44100 * 4 / 4))); }
# Sets start to the first quarter with the tone in it, if there is one yet.
find_start() {
    local quarter
    start=
    for quarter in $(seq "${start_from:-0}" $(($(recorded_quarters) - 1))); do
        if loud "$(rms_at "$(awk -v q="$quarter" 'BEGIN { print q / 4 }')")"; then
            start=$quarter
            return
        fi
        start_from=$((quarter + 1))
    done
}
# The music may start late on a loaded machine: the recording goes on until it
# holds three rounds from the first quarter with the tone.
three_rounds_recorded() {
    [[ -n $start ]] || find_start
    [[ -n $start ]] && ((start + 13 <= $(recorded_quarters)))
}
start=
E2E_POLL=0.25 e2e_wait 60 three_rounds_recorded ||
    fail "no three rounds of music reached the sink in $(($(recorded_quarters) / 4)) s of recording"
kill "$recorder"
for quarter in $(seq "$start" $((start + 12))); do
    at=$(awk -v q="$quarter" 'BEGIN { print q / 4 }')
    rms=$(rms_at "$at")
    loud "$rms" || fail "the music breaks off $(awk -v q="$((quarter - start))" 'BEGIN { print q / 4 }') s in (RMS $rms)"
done
echo "the tone plays through $((13 / 4)) s and more: the one-second music loops"

e2e_pass
