// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "check/music_check.h"

#include "sound/music_reader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace check {

MusicCheck checkMusic(const std::string& path) {
    sound::MusicReader reader({}, sound::mostBytesHeldWhole);
    MusicCheck check;
    check.problem = reader.open(path);
    check.decoderSaid = sound::decoderLinesSaid(reader.libraryMessages());
    if (!check.problem.empty())
        return check;
    check.format = reader.description();
    std::vector<std::byte> block(64 * 1024);
    std::int64_t bytes = 0;
    while (!reader.atEnd())
        bytes += static_cast<std::int64_t>(reader.read(block.data(), block.size()));
    check.seconds = static_cast<double>(bytes / reader.bytesPerFrame()) / reader.rate();
    check.loops = reader.rewind().empty();
    check.decoderSaid = sound::decoderLinesSaid(reader.libraryMessages());
    return check;
}

} // namespace check
