// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// Text assets (murmurs, endings) as any bytes a player's editor may leave: decoding to UTF-8 and
// splitting into lines must accept everything and lose nothing but the line ends. Only the start of
// a long file is read: cut anywhere after its byte-order mark, it must decode as the start of the
// whole text wherever the whole's encoding does not depend on bytes after the cut.
#include "files/text_file.h"

#include <QByteArrayView>
#include <QStringConverter>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80         ? 1
                                   : lead >> 5 == 0x6  ? 2
                                   : lead >> 4 == 0xE  ? 3
                                   : lead >> 3 == 0x1E ? 4
                                                       : 0;
        if (length == 0 || text.size() - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

std::string withoutLineEnds(std::string_view text) {
    std::string kept;
    for (const char c : text)
        if (c != '\r' && c != '\n')
            kept += c;
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = files::decodeText(bytes);
    if (!isValidUtf8(text))
        std::abort();

    // From memory: reading a real file per input would make the file system the bottleneck.
    std::string joined;
    for (const std::string& line : files::linesOf(text)) {
        if (line.find_first_of("\r\n") != std::string::npos)
            std::abort();
        joined += line;
    }
    if (joined != withoutLineEnds(text))
        std::abort();

    const std::string_view start = bytes.substr(0, 4 + size / 2);
    const std::string startText = files::decodeText(start, files::TextExtent::Start);
    if (!isValidUtf8(startText))
        std::abort();
    const QByteArrayView view(bytes.data(), qsizetype(size));
    const bool encodingKnownFromTheStart =
        QStringConverter::encodingForData(view) || view.isValidUtf8();
    if (start.size() < size && encodingKnownFromTheStart && !text.starts_with(startText))
        std::abort();
    return 0;
}
