// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace check {

// What the game makes of a music file, without a sound server: for a pack's author.
struct MusicCheck {
    std::string problem;     // why the game would not play it; empty when it would
    std::string format;      // as MusicReader::description gives it
    double seconds = 0;      // one round of the loop
    bool loops = false;      // it can be read again from its start, as each round does
    std::string decoderSaid; // what the decoder printed on its own, as the game's line tells it
};
MusicCheck checkMusic(const std::string& path);

} // namespace check
