# shellcheck shell=sh
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT
#
# Helpers sourced by the CPU benchmarks.

# cpu_seconds_side_by_side SECONDS PID_A PID_B: prints "A B", the CPU seconds
# each process uses over the same SECONDS, then ends both.
cpu_seconds_side_by_side() {
    a_before=$(cpu_ticks "$2")
    b_before=$(cpu_ticks "$3")
    sleep "$1"
    a_used=$(($(cpu_ticks "$2") - a_before))
    b_used=$(($(cpu_ticks "$3") - b_before))
    kill "$2" "$3"
    wait "$2" "$3" 2>/dev/null || true
    awk -v a="$a_used" -v b="$b_used" -v hz="$(getconf CLK_TCK)" \
        'BEGIN { printf "%.2f %.2f\n", a / hz, b / hz }'
}

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# median: the median of the numbers on standard input, one a line.
median() {
    sort -n | awk '{ value[NR] = $1 } END { print value[int((NR + 1) / 2)] }'
}
