// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "murmur/murmurs.h"

#include "platform/text_file.h"

#include <algorithm>

namespace murmur {

Murmurs::Murmurs(platform::Label& lblSay, platform::RandomSource& random)
    : LblSay(lblSay), random_(random) {}

void Murmurs::LoadLines(const std::string& path) {
    const std::vector<std::string> lines =
        platform::readFirstLines(path, LineCount, MaxLineCharacters);
    std::copy(lines.begin(), lines.end(), Lines.begin());
}

void Murmurs::timLbl_Timer() {
    const int i = platform::drawFrom(random_, LineCount);
    LblSay.setCaption(Lines[static_cast<std::size_t>(i)]);
}

} // namespace murmur
