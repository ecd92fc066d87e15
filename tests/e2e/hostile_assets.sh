#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# Hostile asset folders, each in a fresh folder beside its own copy of the game,
# on one Xvfb screen with music going to a private PulseAudio null sink. For
# every case the window shows within WINDOW_WITHIN seconds, the game stays up,
# its caption keeps moving (the window answers and the night goes on), stderr
# holds at most one line per bad file and names nothing else, and the peak RSS
# stays within PEAK_WITHIN_KB. The peak RSS of each case is printed in a table
# at the end. The bounds guard against minutes and gigabytes, not against a
# slow machine.
# Usage: hostile_assets.sh path/to/sorawata
source "$(dirname "$0")/lib.sh"

e2e_start_xvfb
e2e_start_null_sink hostile

template=$E2E_WORK/template
e2e_make_assets "$template"
results=$E2E_WORK/results
touch "$results"
WINDOW_WITHIN=20
PEAK_WITHIN_KB=$((200 * 1024))

# --- What every case checks -------------------------------------------------------

caption_now() {
    e2e_caption "$E2E_WINDOW"
}

caption_moved_from() {
    local caption
    caption=$(caption_now)
    [[ $caption != "$1" ]] && e2e_is_readout "$caption"
}

# The caption moves on: the event loop runs and the moods tick.
expect_playing() {
    e2e_wait 30 caption_moved_from "$(caption_now)" || fail "$1: the caption stays '$(caption_now)'"
    e2e_game_running || fail "$1: the game exited"
}

music_playing() {
    [[ -n $(pactl list short sink-inputs 2>/dev/null) ]]
}

# click_options COUNT: clicks on the three ways of thinking in turn, each taken before the next.
click_options() {
    local i
    for ((i = 0; i < $1; i++)); do
        e2e_choose $((i % 3))
    done
}

# check_stderr FOLDER "BAD FILES" "FILES THAT MUST BE NAMED": every stderr line
# names one bad file, no file twice; with $CASE_SAYS set, some line says it.
check_stderr() {
    local folder=$1 errors=$E2E_WORK/game.err line name named file
    while IFS= read -r line; do
        named=
        for name in $2; do
            [[ $line == *"$folder/$name"[\":]* ]] && named=$name
        done
        [[ -n $named ]] || fail "stderr line names no bad file: $line"
    done <"$errors"
    for name in $2; do
        (($(grep -c -F "$folder/$name" "$errors" || true) <= 1)) ||
            fail "$name is named more than once: $(cat "$errors")"
    done
    for file in $3; do
        grep -q -F "$folder/$file" "$errors" || fail "$file is not named: $(cat "$errors")"
    done
    [[ -z ${CASE_SAYS:-} ]] || grep -q -F "$CASE_SAYS" "$errors" ||
        fail "no line says '$CASE_SAYS': $(cat "$errors")"
}

# The window showed within WINDOW_WITHIN seconds of STARTED ($EPOCHREALTIME).
check_window_time() {
    local took
    took=$(awk -v s="$1" -v n="$EPOCHREALTIME" 'BEGIN { printf "%.1f", n - s }')
    awk -v t="$took" -v w="$WINDOW_WITHIN" 'BEGIN { exit !(t <= w) }' ||
        fail "the window took $took s to show (at most $WINDOW_WITHIN)"
    echo "$took" >"$E2E_WORK/window-time"
}

# The game's peak resident memory so far, in kB, within PEAK_WITHIN_KB.
check_peak_memory() {
    local peak
    peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$E2E_GAME_PID/status")
    ((peak <= PEAK_WITHIN_KB)) || fail "peak RSS $peak kB (at most $PEAK_WITHIN_KB)"
    echo "$peak" >"$E2E_WORK/hwm"
}

# run_case NAME FOLDER "BAD FILES" "MUST BE NAMED" SETUP [PLAY]: a fresh copy of
# the template assets in FOLDER changed by SETUP, the game started there (by
# $CASE_LAUNCH, e2e_launch unless set), PLAY run against it. One line for the
# table goes to $results.
run_case() {
    local name=$1 folder=$2 bad=$3 named=$4 setup=$5 play=${6:-}
    if (
        trap 'kill "$E2E_GAME_PID" 2>/dev/null; wait 2>/dev/null' EXIT
        mkdir -p "$(dirname "$folder")"
        cp -r "$template" "$folder"
        e2e_install_game "$folder"
        "$setup" "$folder"
        started=$EPOCHREALTIME
        "${CASE_LAUNCH:-e2e_launch}" "$folder"
        e2e_find_game_window
        check_window_time "$started"
        e2e_measure_area
        expect_playing "at start"
        [[ -z $play ]] || "$play" "$folder"
        expect_playing "after play"
        check_stderr "$folder" "$bad" "$named"
        check_peak_memory
        cp "$E2E_WORK/game.err" "$folder.err"
    ); then
        printf '%-44s %-6s %8s %9s %6s\n' "$name" pass "$(cat "$E2E_WORK/window-time")" \
            "$(cat "$E2E_WORK/hwm")" "$(wc -l <"$folder.err")" >>"$results"
    else
        printf '%-44s %-6s %8s %9s %6s\n' "$name" FAIL - - - >>"$results"
    fi
    tail -n 1 "$results"
}

# --- Setting up the cases -----------------------------------------------------------

no_change() { :; }
remove_dat() { rm "$1/dat.txt"; }
three_line_dat() { printf 'one\r\ntwo\r\nthree\r\n' >"$1/dat.txt"; }
random_dat() { head -c 65536 /dev/urandom >"$1/dat.txt"; }
# Fourteen lines longer than the game keeps and a last one of 50 MB, so that every murmur is long:
# the game reads only as far as fifteen kept lines can reach, which takes in the start of the last.
huge_line_dat() {
    {
        for _ in $(seq 14); do printf '%s\r\n' "$(head -c 5000 /dev/zero | tr '\0' 'b')"; done
        head -c 50000000 /dev/zero | tr '\0' 'a'
    } >"$1/dat.txt"
}
bad_scenes() {
    head -c 20000 /dev/urandom >"$1/img/3.jpg"
    rm "$1/img/4.jpg"
}
huge_picture() { convert -size 9000x9000 "xc:rgb(${E2E_SCENE_COLOURS[0]// /,})" -quality 80 "$1/img/0.jpg"; }
# A small JPEG whose frame header claims 60000 x 60000 pixels.
lying_picture() {
    local offset
    offset=$(LC_ALL=C grep -obUaP '\xFF\xC0' "$1/img/1.jpg" | head -n 1 | cut -d: -f1)
    [[ -n $offset ]] || fail "no baseline frame header in the test JPEG"
    printf '\xEA\x60\xEA\x60' | dd of="$1/img/1.jpg" bs=1 seek=$((offset + 5)) conv=notrunc status=none
}
remove_bgm() { rm "$1/bgm.wav"; }
random_bgm() { head -c 50000 /dev/urandom >"$1/bgm.wav"; }
truncated_bgm() { head -c 30 "$template/bgm.wav" >"$1/bgm.wav"; }
# The data chunk's size (bytes 40-43 of a plain 44-byte header) says 2 GB.
overlong_bgm() { printf '\x00\xFF\xFF\x7F' | dd of="$1/bgm.wav" bs=1 seek=40 conv=notrunc status=none; }
# A list chunk that made libsndfile 1.2.0 spin for ever inside its open, found by fuzzing.
spinning_list_bgm() {
    base64 -d >"$1/bgm.wav" <<<'UklGRkAAAABXQVZFZm10IBAAAAABAAIARKwAABCxAgAEABAATElTVFJJRkb///////////8AAADw//////////////////////////////////////////////////////////////////////////////////K2////A0FjAGRhdGEQEAA='
}
remove_end0_text() { rm "$1/end0.txt"; }
remove_img() { rm -r "$1/img"; }
read_only() { chmod -R a-w "$1"; }
# Files that are no regular files: a named pipe nobody writes to, a link to an
# endless device, a folder.
pipes() {
    local file
    for file in bgm.wav dat.txt end0.txt img/{0..4}.jpg; do
        rm -f "$1/$file"
        mkfifo "$1/$file"
    done
}
zero_links() {
    local file
    for file in bgm.wav dat.txt img/{0..4}.jpg; do
        ln -sf /dev/zero "$1/$file"
    done
}
folders() {
    local file
    for file in bgm.wav dat.txt img/0.jpg; do
        rm "$1/$file"
        mkdir "$1/$file"
    done
}
# A 594-byte progressive JPEG whose frame header claims 46336 x 46336 pixels,
# as each scene.
progressive_lying_pictures() {
    local offset i
    convert -size 16x16 xc:red -interlace JPEG "$1/img/0.jpg"
    offset=$(LC_ALL=C grep -obUaP '\xFF\xC2' "$1/img/0.jpg" | head -n 1 | cut -d: -f1)
    [[ -n $offset ]] || fail "no progressive frame header in the test JPEG"
    printf '\xB5\x00\xB5\x00' | dd of="$1/img/0.jpg" bs=1 seek=$((offset + 5)) conv=notrunc status=none
    for i in 1 2 3 4; do cp "$1/img/0.jpg" "$1/img/$i.jpg"; done
}
# Each scene followed by a gibibyte of zeros, as a download that reserved the
# file's size leaves it (sparse: it takes no disk).
padded_pictures() {
    local i
    for i in 0 1 2 3 4; do truncate -s +1G "$1/img/$i.jpg"; done
}
truncated_pictures() {
    local i
    for i in 0 1 2 3 4; do
        head -c "$(($(stat -c %s "$1/img/$i.jpg") / 2))" "$1/img/$i.jpg" >"$1/img/$i.cut"
        mv "$1/img/$i.cut" "$1/img/$i.jpg"
    done
}
# A RIFF header and then 4 GiB of zeros: what a downloader that reserves the
# file's size leaves before any data has come.
header_only_bgm() {
    printf 'RIFF\xFF\xFF\xFF\xFFWAVE' >"$1/bgm.wav"
    truncate -s 4G "$1/bgm.wav"
}
sparse_dat() { truncate -s 0 "$1/dat.txt" && truncate -s 1G "$1/dat.txt"; }

# The game's stderr into a pipe whose reader has gone by the time it writes.
launch_into_closed_pipe() {
    : >"$E2E_WORK/game.err"
    (cd "$E2E_WORK" && exec "$1/sorawata" 2> >(exit 0)) &
    E2E_GAME_PID=$!
    E2E_PIDS+=("$E2E_GAME_PID")
}

# --- Playing the cases --------------------------------------------------------------

some_choices() { click_options 10; }
forty_choices() { click_options 40; }

# The 50 MB line must not stall the window. Every murmur is long, kept at the
# game's limit; once one shows, a click on the picture must start a new night
# whose caption moves (by then the partner's anger may have reached its ceiling
# and the caption stopped).
murmur_shown() { e2e_long_murmur_in "$(e2e_screenshot murmur)"; }
watch_murmurs() {
    E2E_POLL=0.2 e2e_wait 60 murmur_shown || fail "the long murmur did not show within 60 s"
    # shellcheck disable=SC2046
    e2e_click $(e2e_picture_centre)
    expect_playing "with the long murmur shown"
    expect_playing "with the long murmur shown"
}

# Left alone the player gives in first; the ending shows without its text, and a
# click on the picture starts a new night.
reach_player_ending() {
    E2E_POLL=0.5 e2e_wait 120 e2e_wish_bar_full || fail "the player's wish bar did not fill within 120 s"
    grep -q -F "$1/end0.txt" "$E2E_WORK/game.err" || fail "end0.txt is not named at the ending"
    # shellcheck disable=SC2046
    e2e_click $(e2e_picture_centre)
}

# Everything must just work: a scene of the set shows, music plays, stderr is empty.
works_fully() {
    some_choices
    local scene
    scene=$(e2e_scene_colour "$(e2e_screenshot scene)" || echo none)
    [[ $scene =~ ^[0-4]$ ]] || fail "the scene shows $scene, expected one of 0-4"
    e2e_wait 30 music_playing || fail "no music reaches the sound server"
    [[ ! -s $E2E_WORK/game.err ]] || fail "stderr: $(cat "$E2E_WORK/game.err")"
}

# A read-only folder: for root, whom permissions do not stop, the game runs in
# its own mount namespace with the folder bound read-only over itself.
launch_read_only() {
    if ((EUID == 0)); then
        # shellcheck disable=SC2016 # $0 is the inner shell's
        (cd "$E2E_WORK" && exec unshare --mount --propagation private sh -c \
            'mount --bind -o ro "$0" "$0" && exec "$0/sorawata"' "$1" 2>"$E2E_WORK/game.err") &
        E2E_GAME_PID=$!
    else
        e2e_launch "$1"
    fi
}

scenes="img/0.jpg img/1.jpg img/2.jpg img/3.jpg img/4.jpg"
cases=$E2E_WORK/cases
run_case "no dat.txt" "$cases/no-dat" dat.txt dat.txt remove_dat
run_case "3-line dat.txt" "$cases/short-dat" dat.txt dat.txt three_line_dat
run_case "dat.txt of random bytes" "$cases/random-dat" dat.txt "" random_dat
run_case "dat.txt with a 50 MB line" "$cases/huge-dat" dat.txt dat.txt huge_line_dat watch_murmurs
run_case "img/3 random, img/4 missing, 40 clicks" "$cases/bad-scenes" "img/3.jpg img/4.jpg" \
    "img/3.jpg img/4.jpg" bad_scenes forty_choices
run_case "9000 x 9000 picture" "$cases/huge-picture" img/0.jpg "" huge_picture some_choices
run_case "JPEG claiming 60000 x 60000" "$cases/lying-picture" img/1.jpg "" lying_picture some_choices
run_case "bgm.wav missing" "$cases/no-bgm" bgm.wav bgm.wav remove_bgm
run_case "bgm.wav of random bytes" "$cases/random-bgm" bgm.wav bgm.wav random_bgm
run_case "bgm.wav truncated" "$cases/truncated-bgm" bgm.wav bgm.wav truncated_bgm
run_case "bgm.wav claiming more data" "$cases/overlong-bgm" bgm.wav "" overlong_bgm
run_case "bgm.wav whose list chunk spun libsndfile" "$cases/spinning-list-bgm" bgm.wav bgm.wav \
    spinning_list_bgm
run_case "end0.txt missing" "$cases/no-ending-text" end0.txt end0.txt remove_end0_text \
    reach_player_ending
run_case "img folder missing" "$cases/no-img" "$scenes img/end0.jpg img/end1.jpg" "" remove_img \
    some_choices
CASE_LAUNCH=launch_read_only run_case "read-only asset folder" "$cases/read-only" "" "" read_only \
    works_fully
run_case "path with spaces and Japanese" "$cases/夜の 音/そら わた" "" "" no_change works_fully
CASE_SAYS="not a regular file" run_case "named pipes, the ending text one too" "$cases/pipes" \
    "bgm.wav dat.txt end0.txt $scenes" "bgm.wav dat.txt end0.txt" pipes reach_player_ending
CASE_SAYS="not a regular file" run_case "links to /dev/zero" "$cases/zero-links" \
    "bgm.wav dat.txt $scenes" "bgm.wav dat.txt" zero_links some_choices
CASE_SAYS="not a regular file" run_case "folders for files" "$cases/folders" \
    "bgm.wav dat.txt img/0.jpg" "bgm.wav dat.txt" folders some_choices
CASE_SAYS="needs more than 224 MB to decode" run_case "progressive JPEGs claiming 46336 x 46336" \
    "$cases/progressive-lying" "$scenes" "" progressive_lying_pictures some_choices
run_case "JPEGs followed by 1 GiB of zeros, 40 clicks" "$cases/padded-pictures" "" "" \
    padded_pictures forty_choices
CASE_SAYS="damaged picture" run_case "truncated JPEGs, 40 clicks" "$cases/truncated-pictures" \
    "$scenes" "" truncated_pictures forty_choices
run_case "bgm.wav a header and 4 GiB of zeros" "$cases/header-only-bgm" bgm.wav bgm.wav \
    header_only_bgm
CASE_SAYS="longer than 4096 characters" run_case "1 GiB sparse dat.txt" "$cases/sparse-dat" \
    dat.txt dat.txt sparse_dat
CASE_LAUNCH=launch_into_closed_pipe run_case "stderr into a pipe closed, bad scenes" \
    "$cases/closed-stderr" "" "" bad_scenes forty_choices

echo
printf '%-44s %-6s %8s %9s %6s\n' case result "window s" "VmHWM KB" stderr
cat "$results"
! grep -q FAIL "$results" || fail "some cases failed"
e2e_pass
