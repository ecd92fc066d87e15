// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "common/random.h"

#include <array>
#include <cstddef>
#include <string>

namespace murmur {

// What the player murmurs to themself through the night: one of the first fifteen lines of
// dat.txt, drawn anew every second.
class Murmurs {
public:
    static constexpr int LineCount = 15;
    // A murmur is one line over the picture; a longer line would only stall drawing it.
    static constexpr std::size_t MaxLineCharacters = 4096;

    explicit Murmurs(common::RandomSource& random);

    // Reads the first fifteen lines, each cut to its first MaxLineCharacters characters; missing
    // ones stay empty murmurs.
    void LoadLines(const std::string& path);
    // The murmur for now: one of the fifteen lines, each as likely.
    const std::string& drawLine();

    const std::string& line(int i) const { return Lines.at(static_cast<std::size_t>(i)); }

private:
    // Index 15 is never filled nor shown.
    std::array<std::string, 16> Lines;
    common::RandomSource& random_;
};

// An ending's text, as it shows over the ending's picture: a line break, then each of the first
// EndingLineCount lines of the file at `path`, cut as murmurs are.
inline constexpr int EndingLineCount = 3;
std::string endingText(const std::string& path);

} // namespace murmur
