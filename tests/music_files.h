// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

// Music files for the tests, written by libsndfile, the RIFF surgery that Windows tools and
// broken downloads leave in asset packs, and hostile files a player may be handed.

#include "test_files.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <optional>
#include <sndfile.h>
#include <string>
#include <vector>

namespace music_files {

using test_files::readFile;
using test_files::writeFile;

// Writes interleaved 16-bit `samples` as a file in libsndfile's `format`; false when it refuses.
// Float files and MPEG get them as floats in full scale (s / 32768): libsndfile would store
// 16-bit values unscaled in a float file, and its MPEG encoder mangles 16-bit stereo.
inline bool writeSound(const std::string& path, int format, int channels, int rate,
                       const std::vector<short>& samples) {
    SF_INFO info{};
    info.format = format;
    info.channels = channels;
    info.samplerate = rate;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        return false;
    const auto frames = static_cast<sf_count_t>(samples.size()) / channels;
    const int subFormat = format & SF_FORMAT_SUBMASK;
    const bool asFloat = subFormat == SF_FORMAT_FLOAT || subFormat == SF_FORMAT_DOUBLE ||
                         (format & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG;
    sf_count_t written = 0;
    if (asFloat) {
        std::vector<float> scaled;
        for (const short sample : samples)
            scaled.push_back(sample / 32768.0f);
        written = sf_writef_float(file, scaled.data(), frames);
    } else {
        written = sf_writef_short(file, samples.data(), frames);
    }
    sf_close(file);
    return written == frames;
}

// A short 16-bit PCM wave of a quiet ramp.
inline bool writeShortWave(const std::string& path, int frames = 8000) {
    std::vector<short> samples;
    for (int i = 0; i < frames; ++i)
        samples.push_back(static_cast<short>((i % 64) * 256));
    return writeSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000, samples);
}

struct Chunk {
    std::string id;
    std::string body;
};

inline std::uint32_t littleEndian32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

inline std::string asLittleEndian32(std::uint32_t value) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>(value >> shift & 0xFF);
    return bytes;
}

// The chunks of a well-formed RIFF/WAVE file, in order.
inline std::vector<Chunk> chunksOf(const std::string& file) {
    std::vector<Chunk> chunks;
    for (std::size_t at = 12; at + 8 <= file.size();) {
        const std::uint32_t size = littleEndian32(file, at + 4);
        chunks.push_back({file.substr(at, 4), file.substr(at + 8, size)});
        at += 8 + size + (size & 1);
    }
    return chunks;
}

// A RIFF/WAVE file of `chunks`. `declaredSize`, when given, is written as the size of the RIFF
// form and of the data chunk instead of the true ones, as a streaming writer leaves them.
inline std::string riff(const std::vector<Chunk>& chunks,
                        std::optional<std::uint32_t> declaredSize = std::nullopt) {
    std::string body = "WAVE";
    for (const Chunk& chunk : chunks) {
        const bool declared = declaredSize && chunk.id == "data";
        body +=
            chunk.id + asLittleEndian32(declared ? *declaredSize
                                                 : static_cast<std::uint32_t>(chunk.body.size()));
        body += chunk.body;
        if (chunk.body.size() % 2 == 1)
            body += '\0';
    }
    return "RIFF" +
           asLittleEndian32(declaredSize.value_or(static_cast<std::uint32_t>(body.size()))) + body;
}

// Puts `paddingBytes` of padding in the metadata of the FLAC file at `path`, before its sound, in
// blocks as large as FLAC allows, written sparse: a few hundred KB on disk per GiB.
inline bool padFlac(const std::string& path, std::int64_t paddingBytes) {
    const std::string flac = readFile(path);
    constexpr std::size_t streamInfoEnd = 4 + 4 + 34; // "fLaC", its block's head, STREAMINFO
    if (flac.compare(0, 4, "fLaC") != 0 || flac.size() < streamInfoEnd)
        return false;
    const bool streamInfoLast = (flac[4] & 0x80) != 0;
    std::string head = flac.substr(0, streamInfoEnd);
    head[4] = static_cast<char>(head[4] & 0x7F);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << head;
    constexpr std::int64_t largestBlock = 0xFFFFFF;
    for (std::int64_t left = paddingBytes; left > 0; left -= largestBlock) {
        const std::int64_t length = std::min(left, largestBlock);
        const bool last = streamInfoLast && left <= largestBlock;
        out << static_cast<char>((last ? 0x80 : 0) | 1) << static_cast<char>(length >> 16)
            << static_cast<char>(length >> 8 & 0xFF) << static_cast<char>(length & 0xFF);
        out.seekp(length, std::ios::cur); // a hole: zeros, as padding is
    }
    out << flac.substr(streamInfoEnd);
    return static_cast<bool>(out);
}

// A quarter second of a tone as FLAC, with `paddingBytes` of padding before it (see padFlac).
inline bool writeFlacWithPadding(const std::string& path, std::int64_t paddingBytes) {
    constexpr int rate = 44100;
    std::vector<short> samples;
    for (int i = 0; i < rate / 4; ++i)
        samples.push_back(static_cast<short>((i % 100) * 100));
    return writeSound(path, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, rate, samples) &&
           padFlac(path, paddingBytes);
}

// Three seconds of MPEG Layer III with 3000 bytes of garbage a third of the way in, as a broken
// download leaves it: libmpg123 prints its notes on the damage on stderr at every pass over it.
inline bool writeDamagedMp3(const std::string& path) {
    constexpr int rate = 44100;
    std::vector<short> samples;
    for (int i = 0; i < 3 * rate * 2; ++i)
        samples.push_back(static_cast<short>(9000 * ((i / 2) % 200 < 100 ? 1 : -1)));
    if (!writeSound(path, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 2, rate, samples))
        return false;
    std::string mp3 = readFile(path);
    for (std::size_t i = mp3.size() / 3; i < mp3.size() / 3 + 3000 && i < mp3.size(); ++i)
        mp3[i] = static_cast<char>(i * 7919);
    writeFile(path, mp3);
    return true;
}

} // namespace music_files
