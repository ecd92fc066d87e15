#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# Start-up cost of the game against the least Qt program that shows the same
# window and text (bench_same_window: the same widgets at the same places, one of
# the default scene pictures read in-process, no music, no decoder process), and,
# for reference, a bare window of the same size showing the three option texts in
# one label: time from process start to the first painted window, and peak
# resident memory. Goals: the first paint at most 1.1 times the same window's,
# peak memory at most 1.5 times.
#
# Run by hand after building the programs:
#   cmake --build build --target sorawata sorawata-picture-decoder bench_same_window \
#       bench_bare_window first_paint_watch
#   bench/startup.sh [BUILD_DIR] [ROUNDS]      (defaults: build, 30)
#
# The programs run on the same private Xvfb screen (1024x768, 96 dpi, black
# root, no window manager), in turn, and are measured the same way from the
# outside by first_paint_watch. The game and the same window use the default
# assets beside them.
set -euo pipefail

build=$(realpath "${1:-build}")
rounds=${2:-30}
settle_ms=3000
game=$build/sorawata
same=$build/bench_same_window
bare=$build/bench_bare_window
watch=$build/first_paint_watch
for program in "$game" "$same" "$bare" "$watch"; do
    [[ -x $program ]] || {
        echo "missing $program: build the programs named at the top of $0 first" >&2
        exit 1
    }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/sorawata-startup.XXXXXX")
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -br -nolisten tcp -noreset 3>"$work/display" \
    2>"$work/xvfb.log" &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; wait $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 200); do
    grep -q '^[0-9]\+$' "$work/display" 2>/dev/null && break
    sleep 0.05
done
DISPLAY=":$(cat "$work/display")"
export DISPLAY
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

# measure NAME PROGRAM: one round; appends "ms kib" to $work/NAME.
measure() {
    local result
    result=$(cd "$work" && "$watch" "$settle_ms" "$2" 2>/dev/null)
    sed -n 's/^first_paint_ms=\([0-9.]*\) peak_rss_kib=\([0-9]*\)$/\1 \2/p' <<<"$result" >>"$work/$1"
}

# Warm the file cache once so the first round is not an outlier of disk reads.
measure warmup "$game"
measure warmup "$same"
measure warmup "$bare"
# The rounds go through the six orders in turn, so that each program follows each of the others
# as often, and none always follows the same one, whose ending (a decoder process torn down,
# caches left warm) may still cost the next. Turning one order round would not do: each program
# would still follow the same one in every round.
orders=("game same bare" "game bare same" "same game bare" "same bare game" "bare game same"
    "bare same game")
declare -A program=([game]=$game [same]=$same [bare]=$bare)
for round in $(seq "$rounds"); do
    for name in ${orders[(round - 1) % 6]}; do
        measure "$name" "${program[$name]}"
    done
done

# median FILE COLUMN
median() {
    cut -d' ' -f"$2" "$1" | sort -n | awk '{ v[NR] = $1 } END {
        print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

printf '%-22s %10s %12s %12s %12s %12s\n' "median of $rounds rounds" game "same window" "label window" \
    "game / same" "game / label"
# row WHAT COLUMN UNIT
row() {
    awk -v what="$1" -v g="$(median "$work/game" "$2")" -v s="$(median "$work/same" "$2")" \
        -v b="$(median "$work/bare" "$2")" -v unit="$3" 'BEGIN {
        printf "%-22s %10.1f %12.1f %12.1f %12.2f %12.2f\n", what, g / unit, s / unit, b / unit, g / s, g / b }'
}
row "first paint (ms)" 1 1
row "peak RSS (MiB)" 2 1024
# The ratio within each round too, whose programs ran seconds apart: the machine's speed drifts
# by several per cent over a run, which shifts a whole round and much less the ratio inside it.
# per_round_ratio OTHER: the median and quartiles of game / OTHER over the rounds.
per_round_ratio() {
    paste -d' ' "$work/game" "$work/$1" | awk '{ print $1 / $3 }' | sort -n | awk -v other="$1" '
        { v[NR] = $1 }
        END { printf "first paint, game / %s within each round: median %.2f, quartiles %.2f to %.2f\n",
              other, NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2,
              v[int((NR + 3) / 4)], v[int((3 * NR + 1) / 4)] }'
}
per_round_ratio same
per_round_ratio bare
for name in game same bare; do
    echo "first paint, $name (ms): $(cut -d' ' -f1 "$work/$name" | xargs)"
done
