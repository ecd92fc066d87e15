// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// Decodes a music file the way the game's audio thread does (the music reader, in portions of the
// size the sound server asks for) as fast as it can, and writes the samples raw to stdout. On
// stderr: the format handed out, and the peak resident memory of the whole run. Used by
// loop_gap.py for the sound the sink should hear, and by music_memory.sh.
#include "peak_memory.h"
#include "sound/music_reader.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: music_decode FILE > samples.raw\n");
        return 2;
    }
    sound::MusicReader reader;
    if (const std::string problem = reader.open(argv[1]); !problem.empty()) {
        std::fprintf(stderr, "cannot play %s: %s\n", argv[1], problem.c_str());
        return 1;
    }
    // 20 ms, as the PulseAudio sink asks.
    const int frames = std::max(reader.rate() / 50, 1);
    std::vector<std::byte> portion(static_cast<std::size_t>(frames * reader.bytesPerFrame()));
    while (!reader.atEnd()) {
        const std::size_t bytes = reader.read(portion.data(), portion.size());
        std::fwrite(portion.data(), 1, bytes, stdout);
    }
    std::fprintf(stderr, "format float32le rate %d channels %d\npeak RSS %ld kB\n", reader.rate(),
                 reader.channels(), peakResidentKib());
    return 0;
}
