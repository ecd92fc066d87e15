// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

// Picture files that are cheap to store and costly to decode, written byte by byte: every
// coefficient of every block is zero, so the coded data is all zero bits.

#include "test_files.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace hostile_pictures {

inline std::string bigEndian16(std::size_t value) {
    return {static_cast<char>(value >> 8 & 0xFF), static_cast<char>(value & 0xFF)};
}

inline std::string segment(std::uint8_t marker, const std::string& body) {
    return std::string("\xFF") + static_cast<char>(marker) + bigEndian16(body.size() + 2) + body;
}

// A JPEG up to its first scan: one quantisation table, one Huffman table each for DC and AC (a
// single one-bit code: DC difference 0, and `acSymbol`), and the frame, 1 x 1 sampling throughout.
inline std::string jpegHead(std::uint8_t frameMarker, int width, int height, int components,
                            std::uint8_t acSymbol) {
    std::string frame = std::string("\x08") + bigEndian16(static_cast<std::size_t>(height)) +
                        bigEndian16(static_cast<std::size_t>(width)) +
                        static_cast<char>(components);
    for (int c = 1; c <= components; ++c)
        frame += std::string{static_cast<char>(c), '\x11', '\x00'};
    const std::string oneCode = std::string("\x01") + std::string(15, '\0');
    return std::string("\xFF\xD8") + segment(0xDB, std::string(1, '\0') + std::string(64, '\1')) +
           segment(0xC4, std::string(1, '\x00') + oneCode + '\x00') +
           segment(0xC4, std::string(1, '\x10') + oneCode + static_cast<char>(acSymbol)) +
           segment(frameMarker, frame);
}

inline std::string scan(int component, int spectralStart, int spectralEnd, std::size_t dataBytes) {
    const std::string body = std::string{'\x01',
                                         static_cast<char>(component),
                                         '\x00',
                                         static_cast<char>(spectralStart),
                                         static_cast<char>(spectralEnd),
                                         '\x00'};
    return segment(0xDA, body) + std::string(dataBytes, '\0');
}

inline std::size_t blocksOf(int width, int height) {
    return static_cast<std::size_t>((width + 7) / 8) * static_cast<std::size_t>((height + 7) / 8);
}

// A progressive grey JPEG whose `acScans` scans are nearly empty: each covers every block with a
// few runs of 16384 empty blocks, yet the decoder visits every block in every scan.
inline std::string manyScanJpeg(int width, int height, int acScans) {
    const std::size_t blocks = blocksOf(width, height);
    std::string jpeg = jpegHead(0xC2, width, height, 1, 0xE0) + scan(1, 0, 0, (blocks + 7) / 8);
    const std::size_t runs = (blocks + 16383) / 16384; // each 15 zero bits
    for (int s = 0; s < acScans; ++s)
        jpeg += scan(1, 1, 63, (runs * 15 + 7) / 8);
    return jpeg + "\xFF\xD9";
}

// A baseline colour JPEG with one scan for each of its three components, which the decoder can
// only hold whole: 6 bytes a pixel.
inline std::string scanPerChannelJpeg(int size) {
    const std::size_t bytes = blocksOf(size, size) * 2 / 8; // DC 0 and end of block: 2 bits
    std::string jpeg = jpegHead(0xC0, size, size, 3, 0x00);
    for (int c = 1; c <= 3; ++c)
        jpeg += scan(c, 0, 63, bytes);
    return jpeg + "\xFF\xD9";
}

// A small JPEG whose frame comes after `commentBytes` of comment segments.
inline std::string commentedJpeg(std::size_t commentBytes) {
    const std::string head = jpegHead(0xC0, 8, 8, 1, 0x00);
    std::string jpeg = "\xFF\xD8";
    const std::string comment = segment(0xFE, std::string(65533, 'c'));
    for (std::size_t written = 0; written < commentBytes; written += 65533)
        jpeg += comment;
    return jpeg + head.substr(2) + scan(1, 0, 63, 1) + "\xFF\xD9";
}

// The start of pictures in text formats, which the game does not read.
inline const std::string xpmHead = "/* XPM */\nstatic char* p[] = {\"9 9 1 1\",\n";
inline const std::string pgmHead = "P5\n60000 60000\n255\n";

// `head`, then nothing but a hole up to 8 GiB: a few kilobytes on disk.
inline void writeWithHole(const std::filesystem::path& path, const std::string& head) {
    test_files::writeFile(path, head, (8ull << 30) - head.size());
}

} // namespace hostile_pictures
