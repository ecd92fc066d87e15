#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# The command line. The options are answered without a display; --check reads a pack as the game
# would, one row of the table for each fault; a pack folder given on the command line is played
# by the program where it lies, and a machine with no font for Japanese is told so.
# Usage: command_line.sh path/to/sorawata
source "$(dirname "$0")/lib.sh"

template=$E2E_WORK/template
e2e_make_assets "$template"

# expect_output FILE PATTERN WHAT: FILE matches the extended regular expression, or is empty when
# the pattern is.
expect_output() {
    if [[ -z $2 ]]; then
        [[ ! -s $1 ]] || fail "$3: expected nothing, got: $(cat "$1")"
    else
        grep -q -E -- "$2" "$1" || fail "$3: expected /$2/, got: $(cat "$1")"
    fi
}

# run_game STATUS OUT ERR WHAT ARGUMENT...: the game run without a display exits with STATUS.
run_game() {
    local want=$1 out=$2 err=$3 what=$4 status=0
    shift 4
    (cd "$E2E_WORK" && env -u DISPLAY -u WAYLAND_DISPLAY "$E2E_GAME" "$@") \
        >"$E2E_WORK/out" 2>"$E2E_WORK/err" || status=$?
    ((status == want)) || fail "$what: exit status $status, expected $want: $(cat "$E2E_WORK/err")"
    expect_output "$E2E_WORK/out" "$out" "$what, stdout"
    expect_output "$E2E_WORK/err" "$err" "$what, stderr"
}

# --- Options: arguments | exit status | stdout | stderr ------------------------------------

while IFS='|' read -r arguments status out err; do
    # shellcheck disable=SC2086 # the arguments are split on purpose
    run_game "$status" "$out" "$err" "sorawata $arguments" $arguments
done <<OPTIONS
--help|0|^Usage: .* \[options\] \[folder\]$|
-h|0|^  --check +Reads the pack|
--version|0|^sorawata [0-9]+\.[0-9]+\.[0-9]+$|
--bogus|2||^sorawata: Unknown option 'bogus'\.$
$template $template|2||^sorawata: give one folder at the most$
$E2E_WORK/nowhere|2||^sorawata: $E2E_WORK/nowhere: not a folder that can be read$
--check $E2E_WORK/nowhere|2||not a folder that can be read
OPTIONS

# --- The pack checker: setup | exit status | stdout | stderr ----------------------------------

no_change() { :; }
no_end1() { rm "$1/end1.txt"; }
short_dat() { printf 'one\r\ntwo\r\nthree\r\n' >"$1/dat.txt"; }
windows_names() {
    mv "$1/img" "$1/IMG"
    mv "$1/IMG/0.jpg" "$1/IMG/0.JPG"
    mv "$1/dat.txt" "$1/Dat.txt"
}
utf16_dat() { iconv -f CP932 -t UTF-16 "$1/dat.txt" >"$1/dat16.txt" && mv "$1/dat16.txt" "$1/dat.txt"; }
random_picture() { head -c 20000 /dev/urandom >"$1/img/3.jpg"; }
huge_progressive_picture() {
    local offset
    convert -size 16x16 xc:red -interlace JPEG "$1/img/1.jpg"
    offset=$(LC_ALL=C grep -obUaP '\xFF\xC2' "$1/img/1.jpg" | head -n 1 | cut -d: -f1)
    printf '\xB5\x00\xB5\x00' | dd of="$1/img/1.jpg" bs=1 seek=$((offset + 5)) conv=notrunc status=none
}
random_bgm() { head -c 50000 /dev/urandom >"$1/bgm.wav"; }
pipe_bgm() { rm "$1/bgm.wav" && mkfifo "$1/bgm.wav"; }

while IFS='|' read -r setup status out err; do
    pack=$E2E_WORK/check-$setup
    rm -rf "$pack"
    cp -r "$template" "$pack"
    "$setup" "$pack"
    run_game "$status" "$out" "$err" "--check after $setup" --check "$pack"
    (($(wc -l <"$E2E_WORK/out") == 11)) || fail "--check after $setup: not a line a file: $(cat "$E2E_WORK/out")"
done <<CHECKS
no_change|0|^bgm\.wav: found; .*, loops$|
no_change|0|^dat\.txt: found; code page 932 \(Shift-JIS\), 15 of 15 lines$|
no_change|0|^img/end1\.jpg: found; 300 x 300 pixels, decoded within the budget$|
no_end1|1|^end1\.txt: missing$|
short_dat|1|^dat\.txt: found; UTF-8, 3 of 15 lines$|dat\.txt: has only 3 of 15 lines
windows_names|0|^img/0\.jpg: found as IMG/0\.JPG; 300 x 300 pixels|
windows_names|0|^dat\.txt: found as Dat\.txt; |
utf16_dat|0|^dat\.txt: found; UTF-16(LE)? with a byte-order mark, 15 of 15 lines$|
random_picture|1|^img/3\.jpg: found; not shown$|img/3\.jpg: not a JPEG, PNG, GIF or BMP picture
huge_progressive_picture|1|^img/1\.jpg: found; not shown$|img/1\.jpg: needs more than 224 MB to decode
random_bgm|1|^bgm\.wav: found; not played|
pipe_bgm|1|^bgm\.wav: found; not played \(not a regular file\)$|
CHECKS

# --- A pack folder given on the command line, played by the program where it lies -------------

e2e_start_xvfb
pack="$E2E_WORK/my pack"
cp -r "$template" "$pack"
# Murmurs of solid squares, far more ink than the title that shows before them.
for i in $(seq 1 15); do printf '■■■■■■■■■■■■\r\n'; done | iconv -f UTF-8 -t CP932 >"$pack/dat.txt"
play() {
    (cd "$E2E_WORK" && exec "$E2E_GAME" "$pack" 2>"$E2E_WORK/game.err") &
    E2E_GAME_PID=$!
    E2E_PIDS+=("$E2E_GAME_PID")
    e2e_find_game_window
    e2e_measure_area
}
scene_of_the_pack() { [[ $(e2e_scene_colour "$(e2e_screenshot scene)") =~ ^[0-4]$ ]]; }
murmur_shown() {
    local shot
    shot=$(e2e_screenshot murmur)
    (($(e2e_count_colour "$shot" "$E2E_AREA_X" "$E2E_AREA_Y" $((E2E_AREA_W * 4 / 9)) 40 "$E2E_MURMUR") > 800))
}
play
e2e_wait 30 scene_of_the_pack || fail "the scene is not one of the pack's: $(cat "$E2E_WORK/game.err")"
e2e_wait 30 murmur_shown || fail "no murmur of the pack's shows"
kill "$E2E_GAME_PID"
wait "$E2E_GAME_PID" 2>/dev/null || true
grep -v "audio output" "$E2E_WORK/game.err" >"$E2E_WORK/pack.err" || true
expect_output "$E2E_WORK/pack.err" "" "the pack played from the command line"

# On a machine whose fonts cover no Japanese, the game says why its texts are boxes, once.
cat >"$E2E_WORK/fonts.conf" <<'FONTS'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <selectfont><rejectfont><pattern><patelt name="lang"><string>ja</string></patelt></pattern></rejectfont></selectfont>
</fontconfig>
FONTS
export FONTCONFIG_FILE=$E2E_WORK/fonts.conf
play
font_told() { grep -q "no installed font covers Japanese" "$E2E_WORK/game.err"; }
e2e_wait 30 font_told || fail "no line about the missing Japanese font: $(cat "$E2E_WORK/game.err")"
(($(grep -c -v "audio output" "$E2E_WORK/game.err") == 1)) ||
    fail "more than the font line: $(cat "$E2E_WORK/game.err")"

e2e_pass
