#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT
#
# The time from the sound server's return to the music at its sink, over
# ROUNDS runs of the end-to-end test tests/e2e/sound_server.sh (the server
# restarted during play, and started after the game): the median of each case.
# The music device asks for an output once a second, so one time lies anywhere
# between the connection's few milliseconds and a second more. Goal: every time
# within 2 s (the largest is shown after each median).
# usage: sound_server_return.sh BUILD_DIR [ROUNDS]
set -eu
build=$(cd "${1:?usage: sound_server_return.sh BUILD_DIR [ROUNDS]}" && pwd)
rounds=${2:-5}
test_script=$(dirname "$0")/../tests/e2e/sound_server.sh
times=$(mktemp)
trap 'rm -f "$times"' EXIT

i=0
while [ $i -lt "$rounds" ]; do
    "$test_script" "$build/sorawata" | grep "s after the server's return" | tee -a "$times"
    i=$((i + 1))
done
echo
for case in "server restarted" "server started after the game"; do
    grep "^$case: " "$times" | sed 's/.*: music \([0-9.]*\) s .*/\1/' | sort -n |
        awk -v name="$case" '{ t[NR] = $1 }
            END { printf "%s: median %.2f s over %d rounds (%.2f to %.2f)\n",
                  name, t[int((NR + 1) / 2)], NR, t[1], t[NR] }'
done
