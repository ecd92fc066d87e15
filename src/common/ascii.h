// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <algorithm>
#include <string_view>

namespace common {

// Whether `a` and `b` are equal but for the letter case of ASCII letters.
inline bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const auto upper = [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    };
    return std::ranges::equal(a, b, {}, upper, upper);
}

} // namespace common
