# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# shellcheck shell=bash
# The end-to-end tests' assets (sourced by lib.sh): packs of solid-colour pictures in the colours
# of lib_pixels.sh, Japanese texts and a short wave, and the game installed beside them.

# e2e_solid_jpeg FILE "R G B": a 300x300 JPEG of one colour.
e2e_solid_jpeg() {
    local r g b
    read -r r g b <<<"$2"
    convert -size 300x300 "xc:rgb($r,$g,$b)" -quality 95 "$1"
}

# e2e_make_assets FOLDER [ENCODING]: a full asset set with solid-colour pictures,
# texts in ENCODING (default CP932) and a short silent bgm.wav.
e2e_make_assets() {
    local folder=$1 encoding=${2:-CP932} i
    mkdir -p "$folder/img"
    for i in 0 1 2 3 4; do
        e2e_solid_jpeg "$folder/img/$i.jpg" "${E2E_SCENE_COLOURS[i]}"
    done
    e2e_solid_jpeg "$folder/img/end0.jpg" "$E2E_END0_COLOUR"
    e2e_solid_jpeg "$folder/img/end1.jpg" "$E2E_END1_COLOUR"
    for i in $(seq 1 15); do printf 'ねむれない夜 その%d\r\n' "$i"; done |
        iconv -f UTF-8 -t "$encoding" >"$folder/dat.txt"
    printf '私から謝った。\r\n朝になった。\r\nおしまい。\r\n' |
        iconv -f UTF-8 -t "$encoding" >"$folder/end0.txt"
    printf '相手が先に謝ってきた。\r\nほっとした。\r\nおしまい。\r\n' |
        iconv -f UTF-8 -t "$encoding" >"$folder/end1.txt"
    sox -n -r 22050 -c 1 -b 16 "$folder/bgm.wav" trim 0 1
}

# e2e_install_game FOLDER: copies the executable, its picture decoder and its sound library into
# FOLDER.
e2e_install_game() {
    mkdir -p "$1"
    cp "$E2E_GAME" "$1/sorawata"
    local built
    built=$(dirname "$E2E_GAME")
    cp "$built/sorawata-picture-decoder" "$1/"
    mkdir -p "$1/sound"
    cp "$built/sound/libsorawata-sound.so" "$1/sound/"
}
