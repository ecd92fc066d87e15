// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <array>
#include <cstdint>

namespace mood {

// Who feels it.
inline constexpr std::uint8_t Player = 0;
inline constexpr std::uint8_t Partner = 1;
// What is felt.
inline constexpr std::uint8_t Anger = 0;
inline constexpr std::uint8_t Sorrow = 1;
inline constexpr std::uint8_t WishToApologise = 2;

// The most a mood of `kind` can be: 200, and 80 for the wish to apologise (200 / 2.5).
constexpr std::int16_t ceilingOf(std::uint8_t kind) {
    return kind == WishToApologise ? 80 : 200;
}

// The six moods, Mood(who, kind), as signed 16-bit values. A subscript out of
// range or an overflowing sum is a fault that ends the game at once.
class MoodTable {
public:
    std::int16_t& operator()(std::uint8_t who, std::uint8_t kind);
    std::int16_t operator()(std::uint8_t who, std::uint8_t kind) const;

private:
    std::array<std::array<std::int16_t, 3>, 2> values_{};
};

std::int16_t checkedAdd(std::int16_t a, std::int16_t b);
std::int16_t checkedSubtract(std::int16_t a, std::int16_t b);

} // namespace mood
