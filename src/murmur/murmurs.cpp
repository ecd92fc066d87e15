// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "murmur/murmurs.h"

#include "files/text_file.h"

#include <algorithm>

namespace murmur {

Murmurs::Murmurs(common::RandomSource& random) : random_(random) {}

void Murmurs::LoadLines(const std::string& path) {
    const std::vector<std::string> lines =
        files::readFirstLines(path, LineCount, MaxLineCharacters);
    std::copy(lines.begin(), lines.end(), Lines.begin());
}

const std::string& Murmurs::drawLine() {
    return Lines[static_cast<std::size_t>(common::drawFrom(random_, LineCount))];
}

std::string endingText(const std::string& path) {
    std::string text;
    for (const std::string& line :
         files::readFirstLines(path, EndingLineCount, Murmurs::MaxLineCharacters))
        text += "\r\n" + line;
    return text;
}

} // namespace murmur
