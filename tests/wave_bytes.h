#pragma once

// Builds RIFF/WAVE files in memory for the music tests.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace wave_bytes {

using Bytes = std::vector<std::uint8_t>;

inline void putU16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

inline void putU32(Bytes& out, std::uint32_t value) {
    putU16(out, value & 0xFFFF);
    putU16(out, value >> 16);
}

inline Bytes formatBody(unsigned tag, unsigned channels, std::uint32_t rate, unsigned bits) {
    Bytes body;
    putU16(body, tag);
    putU16(body, channels);
    putU32(body, rate);
    putU32(body, rate * channels * bits / 8);
    putU16(body, channels * bits / 8);
    putU16(body, bits);
    return body;
}

// WAVE_FORMAT_EXTENSIBLE around the standard sub-format with the given tag.
inline Bytes extensibleFormatBody(unsigned subTag, unsigned channels, std::uint32_t rate,
                                  unsigned bits) {
    Bytes body = formatBody(0xFFFE, channels, rate, bits);
    putU16(body, 22);   // size of the extension
    putU16(body, bits); // valid bits
    putU32(body, channels == 1 ? 0x4 : 0x3);
    putU16(body, subTag);
    for (std::uint8_t b :
         {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71})
        body.push_back(b);
    return body;
}

struct Chunk {
    std::string id;
    Bytes body;
    std::uint32_t declaredSize = 0xFFFFFFFF; // the body's size unless set
};

inline Bytes riff(const std::vector<Chunk>& chunks, const std::string& form = "WAVE") {
    Bytes out{'R', 'I', 'F', 'F', 0, 0, 0, 0};
    out.insert(out.end(), form.begin(), form.end());
    for (const auto& chunk : chunks) {
        out.insert(out.end(), chunk.id.begin(), chunk.id.end());
        putU32(out, chunk.declaredSize == 0xFFFFFFFF ? static_cast<std::uint32_t>(chunk.body.size())
                                                     : chunk.declaredSize);
        out.insert(out.end(), chunk.body.begin(), chunk.body.end());
        if (chunk.body.size() % 2 == 1)
            out.push_back(0);
    }
    const auto riffSize = static_cast<std::uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; ++i)
        out[4 + i] = static_cast<std::uint8_t>(riffSize >> (8 * i));
    return out;
}

inline Bytes pcm16(std::initializer_list<std::int16_t> samples) {
    Bytes out;
    for (auto s : samples)
        putU16(out, static_cast<std::uint16_t>(s));
    return out;
}

inline Bytes simpleWave(unsigned channels, std::uint32_t rate, const Bytes& pcm16Data) {
    return riff({{"fmt ", formatBody(1, channels, rate, 16)}, {"data", pcm16Data}});
}

} // namespace wave_bytes
