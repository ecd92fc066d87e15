#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# Start-up cost of the game against a bare Qt window of the same size showing
# the three option texts in one label: time from process start to the first
# painted window, and peak resident memory. Goals: the first paint at most 1.1 times the bare
# window's, peak memory at most 1.5 times.
#
# Run by hand after building the three programs:
#   cmake --build build --target sorawata bench_bare_window first_paint_watch
#   bench/startup.sh [BUILD_DIR] [ROUNDS]      (defaults: build, 10)
#
# Both programs run on the same private Xvfb screen (1024x768, 96 dpi, black
# root, no window manager), alternating, and are measured the same way from the
# outside by first_paint_watch. The game uses the default assets beside it.
set -euo pipefail

build=$(realpath "${1:-build}")
rounds=${2:-10}
settle_ms=3000
game=$build/sorawata
bare=$build/bench_bare_window
watch=$build/first_paint_watch
for program in "$game" "$bare" "$watch"; do
    [[ -x $program ]] || {
        echo "missing $program: build sorawata, bench_bare_window and first_paint_watch first" >&2
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
measure warmup "$bare"
for _ in $(seq "$rounds"); do
    measure game "$game"
    measure bare "$bare"
done

# median FILE COLUMN
median() {
    cut -d' ' -f"$2" "$1" | sort -n | awk '{ v[NR] = $1 } END {
        print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

game_ms=$(median "$work/game" 1)
bare_ms=$(median "$work/bare" 1)
game_kib=$(median "$work/game" 2)
bare_kib=$(median "$work/bare" 2)
printf '%-22s %10s %10s %8s\n' "median of $rounds rounds" game bare ratio
awk -v g="$game_ms" -v b="$bare_ms" 'BEGIN { printf "%-22s %10.1f %10.1f %8.2f\n", "first paint (ms)", g, b, g / b }'
awk -v g="$game_kib" -v b="$bare_kib" 'BEGIN {
    printf "%-22s %10.1f %10.1f %8.2f\n", "peak RSS (MiB)", g / 1024, b / 1024, g / b }'
echo "first paint, game (ms): $(cut -d' ' -f1 "$work/game" | xargs)"
echo "first paint, bare (ms): $(cut -d' ' -f1 "$work/bare" | xargs)"
