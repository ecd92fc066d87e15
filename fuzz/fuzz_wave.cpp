// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// Music files as any bytes, through the reader the game plays them with (our glue around
// libsndfile): it must refuse what it cannot play with a reason, within libFuzzer's time limit, and
// for what it accepts hand out whole frames in any portions up to an end, and the same sound again
// after the rewind that loops the music; a sound shorter than a round comes repeated into it.
#include "scratch_file.h"
#include "sound/music_reader.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Reads to the end in an odd portion that holds no whole number of frames, as a sound card may
// ask; returns everything read.
std::vector<std::byte> readToEnd(sound::MusicReader& reader) {
    const auto frameBytes = static_cast<std::size_t>(reader.bytesPerFrame());
    std::vector<std::byte> portion(frameBytes * 37 + 1);
    std::vector<std::byte> all;
    while (!reader.atEnd()) {
        const std::size_t written = reader.read(portion.data(), portion.size());
        if (written % frameBytes != 0 || written > portion.size())
            std::abort();
        all.insert(all.end(), portion.begin(), portion.begin() + static_cast<long>(written));
    }
    if (reader.read(portion.data(), portion.size()) != 0)
        std::abort(); // nothing after the end
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile scratch("sorawata-fuzz-wave");
    scratch.write(data, size);
    sound::MusicReader reader(std::chrono::milliseconds(20)); // short sounds repeated
    if (!reader.open(scratch.path()).empty())
        return 0;
    if (reader.channels() < 1 || reader.rate() <= 0)
        std::abort();

    const std::vector<std::byte> first = readToEnd(reader);
    if (!reader.rewind().empty())
        std::abort(); // the file has not changed
    const std::vector<std::byte> second = readToEnd(reader);
    // libsndfile's MPEG decoder hands out samples it never computed for some damaged streams, and
    // so differently at each opening: of such a file only the length of a round can be compared.
    const bool mpeg = reader.description().find("MPEG") != std::string::npos;
    if (second.size() != first.size() || (second != first && !mpeg))
        std::abort();
    return 0;
}
