#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# Runs each fuzz target for SECONDS, one after the other, starting from its seed corpus in
# fuzz/corpus/<target>. New inputs collect in BUILD_DIR/fuzz-corpus/<target> (kept between runs),
# crashes in BUILD_DIR/fuzz-crashes/. Fails on the first target that finds a fault.
#   usage: fuzz/run.sh BUILD_DIR SECONDS [target...]
set -eu
build_dir=$(cd "$1" && pwd)
seconds=$2
shift 2
targets=${*:-fuzz_text fuzz_mci fuzz_wave fuzz_picture}
seeds=$(cd "$(dirname "$0")/corpus" && pwd)

# A smaller quarantine for freed memory (still megabytes) doubles the runs per second: every input
# allocates anew, and fresh pages cost more than the parsing.
export ASAN_OPTIONS=quarantine_size_mb=16
export UBSAN_OPTIONS=print_stacktrace=1

mkdir -p "$build_dir/fuzz-crashes"
for target in $targets; do
    corpus="$build_dir/fuzz-corpus/$target"
    mkdir -p "$corpus"
    # The game sends a handful of short commands; longer scripts only repeat them more slowly.
    max_len=4096
    [ "$target" = fuzz_mci ] && max_len=512
    echo "== $target: $seconds s"
    # -timeout: a picture or text that takes seconds to read would freeze the game's window.
    # -close_fd_mask=3 silences the game's and Qt's own complaints about the bad files, which
    # would cost more than the parsing, and what libsndfile's sample-dump decoder prints on stdout
    # for each damaged block; the fuzzer and the sanitizers still report.
    "$build_dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=$max_len -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$build_dir/fuzz-crashes/$target-" \
        "$corpus" "$seeds/$target" 2>"$build_dir/fuzz-$target.log" || {
        tail -n 60 "$build_dir/fuzz-$target.log"
        exit 1
    }
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$build_dir/fuzz-$target.log"
done
