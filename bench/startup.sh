#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# Start-up cost of the game against the least Qt program that shows the same
# window and text (bench_same_window: the same widgets at the same places, one of
# the default scene pictures read in-process, no music, no decoder process), and
# against a bare window of the same size showing the three option texts in one
# label: time from process start to the first painted window, and peak resident
# memory. Goals: the first paint at most 1.1 times, peak memory at most 1.5 times.
#
# Run by hand after building the programs:
#   cmake --build build --target sorawata sorawata-picture-decoder bench_same_window \
#       bench_bare_window first_paint_watch
#   bench/startup.sh [BUILD_DIR] [ROUNDS] [MEMORY_ROUNDS] [BUSY_CORES]   (defaults: build, 150, 6, 0)
#
# The programs run on the same private Xvfb screen (1024x768, 96 dpi, black
# root, no window manager), in turn, and are measured the same way from the
# outside by first_paint_watch. The game and the same window use the default
# assets beside them.
#
# A single first paint on a shared two-core machine varies by 15 % either way, so
# a 30-round median still moves by 0.1 in the ratio from one run to the next. The
# timing rounds are therefore many and short (each program lives half a second),
# and the report gives a 95 % interval for each ratio. That interval covers the
# spread of the rounds within one run only: a machine whose speed changes between
# runs minutes apart can move the whole ratio further, so judge by several runs.
# Peak memory comes from a few rounds of their own, in which each program lives 3 s.
#
# A player's machine is seldom idle. With BUSY_CORES, that many processes spin through the timing
# rounds, so that whatever a program does besides showing its window (the game's decoder and
# sound) competes with the window for the processor.
set -euo pipefail

build=$(realpath "${1:-build}")
rounds=${2:-150}
memory_rounds=${3:-6}
busy_cores=${4:-0}
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
busy=()
stop_busy() {
    if ((${#busy[@]})); then kill "${busy[@]}" 2>/dev/null || true; fi
    busy=()
}
trap 'stop_busy; kill $xvfb 2>/dev/null || true; wait $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 200); do
    grep -q '^[0-9]\+$' "$work/display" 2>/dev/null && break
    sleep 0.05
done
DISPLAY=":$(cat "$work/display")"
export DISPLAY
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

# measure NAME PROGRAM SETTLE_MS: one round; appends "ms kib" to $work/NAME.
measure() {
    local result
    result=$(cd "$work" && "$watch" "$3" "$2" 2>/dev/null)
    sed -n 's/^first_paint_ms=\([0-9.]*\) peak_rss_kib=\([0-9]*\)$/\1 \2/p' <<<"$result" >>"$work/$1"
}

# Warm the file cache once so the first round is not an outlier of disk reads.
measure warmup "$game" 500
measure warmup "$same" 500
measure warmup "$bare" 500
# The rounds go through the six orders in turn, so that each program follows each of the others
# as often, and none always follows the same one, whose ending (a decoder process torn down,
# caches left warm) may still cost the next. Turning one order round would not do: each program
# would still follow the same one in every round.
orders=("game same bare" "game bare same" "same game bare" "same bare game" "bare game same"
    "bare same game")
declare -A program=([game]=$game [same]=$same [bare]=$bare)
# run_rounds COUNT SETTLE_MS SUFFIX
run_rounds() {
    for round in $(seq "$1"); do
        for name in ${orders[(round - 1) % 6]}; do
            measure "$name$3" "${program[$name]}" "$2"
        done
    done
}
for _ in $(seq "$busy_cores"); do
    sh -c 'while :; do :; done' &
    busy+=($!)
done
run_rounds "$rounds" 500 ""
stop_busy
run_rounds "$memory_rounds" 3000 .memory

python3 - "$work" "$busy_cores" <<'REPORT'
import random
import statistics
import sys

work, busy_cores = sys.argv[1], int(sys.argv[2])
def column(name, index):
    with open(f"{work}/{name}") as lines:
        return [float(line.split()[index]) for line in lines]
paint = {name: column(name, 0) for name in ("game", "same", "bare")}
memory = {name: column(f"{name}.memory", 1) for name in ("game", "same", "bare")}
if len({len(values) for values in paint.values()}) != 1:
    sys.exit("a program showed no painted window in some round, so the rounds do not pair up")

# The ratio of the medians, and a 95 % interval for it from the rounds drawn again at random
# (the bootstrap), a round keeping its three programs together.
def ratio(other, indices):
    return (statistics.median(paint["game"][i] for i in indices) /
            statistics.median(paint[other][i] for i in indices))
def interval(other):
    draw = random.Random(1)
    count = len(paint["game"])
    ratios = sorted(ratio(other, [draw.randrange(count) for _ in range(count)])
                    for _ in range(2000))
    return ratios[50], ratios[1949]

busy = f", {busy_cores} core{'s' if busy_cores > 1 else ''} kept busy" if busy_cores else ""
print(f"first paint, median of {len(paint['game'])} rounds{busy}: game {statistics.median(paint['game']):.1f} ms, "
      f"same window {statistics.median(paint['same']):.1f} ms, "
      f"label window {statistics.median(paint['bare']):.1f} ms")
for other, label in (("same", "same window"), ("bare", "label window")):
    low, high = interval(other)
    within = [g / o for g, o in zip(paint["game"], paint[other])]
    quartiles = statistics.quantiles(within, n=4)
    print(f"  game / {label}: {ratio(other, range(len(paint['game']))):.2f} "
          f"(95 % interval {low:.2f} to {high:.2f}); within each round: median "
          f"{statistics.median(within):.2f}, quartiles {quartiles[0]:.2f} to {quartiles[2]:.2f}")
mib = {name: statistics.median(values) / 1024 for name, values in memory.items()}
print(f"peak RSS, median of {len(memory['game'])} rounds: game {mib['game']:.1f} MiB, "
      f"same window {mib['same']:.1f} MiB, label window {mib['bare']:.1f} MiB; "
      f"game / same window {mib['game'] / mib['same']:.2f}, "
      f"game / label window {mib['game'] / mib['bare']:.2f}")
REPORT
