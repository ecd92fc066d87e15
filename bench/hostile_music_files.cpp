// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// Writes one of the hostile music files of the tests, for the benchmarks that run the game on it.
#include "music_files.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    const std::string kind = argc == 3 || argc == 4 ? argv[1] : "";
    bool written = false;
    if (kind == "flac-padding" && argc == 4)
        written = music_files::writeFlacWithPadding(argv[2], std::stoll(argv[3]));
    else if (kind == "damaged-mp3" && argc == 3)
        written = music_files::writeDamagedMp3(argv[2]);
    else
        std::fprintf(stderr, "usage: hostile_music_files flac-padding FILE BYTES\n"
                             "       hostile_music_files damaged-mp3 FILE\n");
    return written ? 0 : 1;
}
