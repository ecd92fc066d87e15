#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# Start-up of the game with hostile asset packs beside the default pack, in the
# same run: time from process start to the first painted window, peak resident
# memory 3 s after the start, and the lines on stderr. Each pack is the build's
# default assets with some files replaced by what a player who downloads packs
# may meet: pipes, links to endless devices, files that claim far more than
# they hold, files followed by gigabytes of zeros. Goal: every pack within
# twice the default's first paint and 1.5 times its peak memory.
#
# Run by hand after building the game and first_paint_watch:
#   cmake --build build --target sorawata first_paint_watch
#   bench/hostile_packs.sh [BUILD_DIR] [ROUNDS] [GAME]   (defaults: build, 3,
#       BUILD_DIR/sorawata; GAME may be another build's game, to compare)
#
# The game runs on a private Xvfb screen (black root, no window manager) with
# its music going to a private PulseAudio null sink, and under a limit of
# LIMIT_GIB (default 8) GiB of address space, so that a game that reads without
# bound fails rather than takes the machine. A game that paints nothing within
# GIVE_UP_S (default 60) seconds is killed and counted as "none". PACKS, when
# set, names the packs to measure (the default pack is always measured).
set -euo pipefail

build=$(realpath "${1:-build}")
rounds=${2:-3}
game=$(realpath "${3:-$build/sorawata}")
watch=$build/first_paint_watch
export FIRST_PAINT_GIVE_UP_S=${GIVE_UP_S:-60}
for program in "$game" "$watch"; do
    [[ -x $program ]] || {
        echo "missing $program: build sorawata and first_paint_watch first" >&2
        exit 1
    }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/sorawata-hostile.XXXXXX")
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -br -nolisten tcp -noreset 3>"$work/display" \
    2>"$work/xvfb.log" &
pids+=($!)
XDG_RUNTIME_DIR=$work HOME=$work pulseaudio --daemonize=no --exit-idle-time=-1 --system=false \
    -n --use-pid-file=false --log-level=0 -L "module-null-sink sink_name=hostile" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$work/native" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 200); do
    grep -q '^[0-9]\+$' "$work/display" 2>/dev/null && [[ -S $work/native ]] && break
    sleep 0.05
done
DISPLAY=":$(cat "$work/display")"
export DISPLAY PULSE_SERVER=unix:$work/native
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

# --- The packs: each changes a copy of the default assets -------------------------

scenes() { echo "$1"/img/{0..4}.jpg; }
# claim FILE MARKER: the JPEG's frame header (baseline C0, progressive C2) claims 46336 x 46336.
claim() {
    local offset
    offset=$(LC_ALL=C grep -obUaP "\\xFF\\x$2" "$1" | head -n 1 | cut -d: -f1)
    printf '\xB5\x00\xB5\x00' | dd of="$1" bs=1 seek=$((offset + 5)) conv=notrunc status=none
}
# lying_scenes FOLDER MARKER INTERLACE: every scene a tiny JPEG that claims 46336 x 46336.
lying_scenes() {
    local file
    for file in $(scenes "$1"); do
        convert -size 16x16 xc:red -interlace "$3" "$file"
        claim "$file" "$2"
    done
}

pack_default() { :; }
pack_progressive_claim() { lying_scenes "$1" C2 JPEG; }
pack_baseline_claim() { lying_scenes "$1" C0 none; }
pack_dat_dev_zero() { ln -sf /dev/zero "$1/dat.txt"; }
pack_dat_dev_urandom() { ln -sf /dev/urandom "$1/dat.txt"; }
pack_pipes() {
    local file
    for file in "$1/bgm.wav" "$1/dat.txt" $(scenes "$1"); do
        rm "$file"
        mkfifo "$file"
    done
}
pack_header_only_bgm() {
    printf 'RIFF\xFF\xFF\xFF\xFFWAVE' >"$1/bgm.wav"
    truncate -s 100M "$1/bgm.wav"
}
pack_gib_dat_utf8() { truncate -s 0 "$1/dat.txt" && truncate -s 1G "$1/dat.txt"; }
pack_gib_dat_cp932() { printf '\x82\xA0' >"$1/dat.txt" && truncate -s 1G "$1/dat.txt"; }
pack_scenes_with_gib_of_zeros() {
    local file
    for file in $(scenes "$1"); do truncate -s +1G "$file"; done
}
pack_truncated_scenes() {
    local file
    for file in $(scenes "$1"); do
        head -c "$(($(stat -c %s "$file") / 2))" "$file" >"$file.cut"
        mv "$file.cut" "$file"
    done
}

all_packs="progressive_claim baseline_claim dat_dev_zero dat_dev_urandom pipes header_only_bgm"
all_packs+=" gib_dat_utf8 gib_dat_cp932 scenes_with_gib_of_zeros truncated_scenes"
read -r -a packs <<<"default ${PACKS:-$all_packs}"
for name in "${packs[@]}"; do
    folder=$work/packs/$name
    mkdir -p "$folder"
    cp -r "$build/img" "$build/dat.txt" "$build/end0.txt" "$build/end1.txt" "$build/bgm.wav" \
        "$folder"
    cp "$game" "$folder/sorawata"
    cp "$(dirname "$game")/sorawata-picture-decoder" "$folder/" 2>/dev/null || true
    mkdir -p "$folder/sound"
    cp "$(dirname "$game")/sound/libsorawata-sound.so" "$folder/sound/" 2>/dev/null || true
    "pack_$name" "$folder"
done

# measure NAME: one start of the game in pack NAME; appends "ms kib lines" to $work/NAME.
measure() {
    local result
    result=$(cd "$work" && ulimit -v $((${LIMIT_GIB:-8} * 1024 * 1024)) &&
        "$watch" 3000 "$work/packs/$1/sorawata" 2>"$work/$1.err" || true)
    sed -n 's/^first_paint_ms=\([0-9.a-z]*\) peak_rss_kib=\([0-9-]*\)$/\1 \2/p' <<<"$result" |
        tr '\n' ' ' >>"$work/$1"
    grep -c -v '^first_paint_watch:' "$work/$1.err" >>"$work/$1" || true
}

for ((round = 1; round <= rounds; round++)); do
    for name in "${packs[@]}"; do
        measure "$name"
    done
done

# median FILE COLUMN: of the numbers in the column; "none" when any round had none.
median() {
    cut -d' ' -f"$2" "$1" | sort -n | awk '
        !/^[0-9.]+$/ { none = 1 } { v[NR] = $1 }
        END { print none ? "none" : (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

default_ms=$(median "$work/default" 1)
default_kib=$(median "$work/default" 2)
printf '%-26s %12s %7s %14s %7s %7s\n' "pack (median of $rounds)" "first paint" ratio \
    "peak RSS MiB" ratio stderr
failed=0
for name in "${packs[@]}"; do
    ms=$(median "$work/$name" 1)
    kib=$(median "$work/$name" 2)
    lines=$(tail -n 1 "$work/$name" | cut -d' ' -f3)
    awk -v n="$name" -v ms="$ms" -v kib="$kib" -v dms="$default_ms" -v dkib="$default_kib" \
        -v lines="$lines" 'BEGIN {
            msr = ms == "none" ? "-" : sprintf("%.2f", ms / dms)
            printf "%-26s %12s %7s %14.1f %7.2f %7s\n", n, ms == "none" ? "none" : ms " ms", msr,
                kib / 1024, kib / dkib, lines
            exit !(ms != "none" && ms / dms <= 2 && kib / dkib <= 1.5)
        }' || failed=1
done
((failed == 0)) || {
    echo "some pack starts more than twice as slowly or takes 1.5 times the memory" >&2
    exit 1
}
