#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# What a costly file costs the game: each kind from hostile_file put into the default pack, read
# by `sorawata --check` as the game reads it, beside the default pack in the same run. For each:
# the wall time of the check (a scene's freeze at a choice, or the music's open), the peak memory
# of the program or its decoder, the lines on stderr and the exit status; the median of ROUNDS.
# Given a second build folder (main before a change), the same for it, case by case.
#
#   cmake --build build --target sorawata sorawata-picture-decoder hostile_file
#   bench/decode_budget.sh [BUILD_DIR] [BASELINE_BUILD_DIR] [ROUNDS]
set -euo pipefail

build=$(realpath "${1:-build}")
baseline=${2:+$(realpath "$2")}
rounds=${3:-3}
generate=$build/hostile_file
work=$(mktemp -d "${TMPDIR:-/tmp}/sorawata-budget.XXXXXX")
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/lib.sh"

# name of the file in the pack, kind for hostile_file ("" for the default pack)
cases=(
    "img/0.jpg:" "img/0.jpg:many-scans" "img/0.jpg:scan-per-channel" "img/0.jpg:comments"
    "img/0.jpg:xpm-hole" "img/0.jpg:pgm-hole"
)
for entry in "${cases[@]}"; do
    kind=${entry#*:}
    [[ -z $kind ]] || "$generate" "$kind" "$work/$kind"
done

# pack BUILD NAME FILE: the default pack of BUILD in $work/pack, with FILE as NAME.
pack() {
    rm -rf "$work/pack"
    mkdir -p "$work/pack/img"
    local file
    for file in dat.txt end0.txt end1.txt bgm.wav img/{0,1,2,3,4,end0,end1}.jpg; do
        ln -s "$1/$file" "$work/pack/$file"
    done
    [[ -z $3 ]] || ln -sf "$3" "$work/pack/$2"
}

# measure BUILD: one check of $work/pack; prints "seconds kib lines status".
measure() {
    local status=0
    /usr/bin/time -o "$work/time" -f "%e %M" timeout 300 "$1/sorawata" --check "$work/pack" \
        >/dev/null 2>"$work/errors" || status=$?
    echo "$(cat "$work/time" | tail -1) $(grep -vc '^Command exited' "$work/errors") $status"
}

printf '%-18s %-9s %9s %9s %6s %5s\n' case build seconds "peak MiB" lines exit
for entry in "${cases[@]}"; do
    name=${entry%%:*}
    kind=${entry#*:}
    for which in build ${baseline:+baseline}; do
        folder=$build
        [[ $which == build ]] || folder=$baseline
        pack "$folder" "$name" "${kind:+$work/$kind}"
        : >"$work/rounds"
        for _ in $(seq "$rounds"); do
            measure "$folder" >>"$work/rounds"
        done
        seconds=$(cut -d' ' -f1 "$work/rounds" | median)
        kib=$(cut -d' ' -f2 "$work/rounds" | median)
        read -r _ _ lines status < <(tail -1 "$work/rounds")
        awk -v c="${kind:-default}" -v w="$which" -v s="$seconds" -v k="$kib" -v l="$lines" \
            -v e="$status" 'BEGIN { printf "%-18s %-9s %9.2f %9.1f %6d %5d\n", c, w, s, k / 1024, l, e }'
    done
done
