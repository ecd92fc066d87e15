// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>

// What the game and its picture decoder process say to each other over a sequenced-packet socket.
// The game sends a Request with the picture file's descriptor; the decoder answers with a Reply,
// and with a sealed memory file holding the pixels when there are any.
namespace decoder {

// The socket's descriptor in the decoder process.
constexpr int socketDescriptor = 3;
// The decoder's exit status when an allocation fails where it cannot be answered.
constexpr int outOfMemoryStatus = 3;

struct Request {
    std::int32_t shownWidth; // the largest size the picture is shown at, in device pixels
    std::int32_t shownHeight;
};

enum class Outcome : std::int32_t {
    Decoded,     // the whole picture
    Damaged,     // what could be read of a damaged one
    NotTaken,    // not a JPEG, PNG, GIF or BMP file
    Unreadable,  // no picture came of it
    OutOfMemory, // decoding it needs more than the decoder may take
};

struct Reply {
    Outcome outcome;
    std::int32_t width; // the picture's own size, from the file
    std::int32_t height;
    // The pixels, in the memory file: QImage's format, size and line length.
    std::int32_t format;
    std::int32_t decodedWidth;
    std::int32_t decodedHeight;
    std::int32_t bytesPerLine;
    char message[480]; // the decoder library's own words, NUL-terminated; may be empty
};

} // namespace decoder
