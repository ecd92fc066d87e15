#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# Peak resident memory of decoding a ten-minute music file (44.1 kHz, 16-bit stereo, 106 MB) from
# start to end the way the game's audio thread does, against a one-second file. The reader holds a
# block of the file at a time, never the whole. Goal: within 10 MB of the short file.
# usage: music_memory.sh BUILD_DIR
set -eu
build=$(cd "${1:?usage: music_memory.sh BUILD_DIR}" && pwd)
[ -x "$build/music_decode" ] || { echo "build the music_decode target first" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sox -n -r 44100 -c 2 -b 16 "$work/short.wav" synth 1 sine 440 vol 0.3
sox -n -r 44100 -c 2 -b 16 "$work/long.wav" synth 600 sine 440 vol 0.3
peak() { "$build/music_decode" "$1" 2>&1 >/dev/null | awk '/^peak RSS/ { print $3 }'; }
short=$(peak "$work/short.wav")
long=$(peak "$work/long.wav")
echo "peak RSS: 1 s file $short kB, 10 min file ($(du -m "$work/long.wav" | cut -f1) MB) $long kB," \
    "difference $((long - short)) kB (goal <= 10240)"
[ $((long - short)) -le 10240 ]
