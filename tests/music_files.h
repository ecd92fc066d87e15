// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

// Music files for the tests, written by libsndfile, and the RIFF surgery that Windows tools and
// broken downloads leave in asset packs.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <sndfile.h>
#include <string>
#include <vector>

namespace music_files {

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

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
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

} // namespace music_files
