// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "mood/mood_table.h"

#include "common/report.h"

#include <limits>

namespace mood {

using common::fault;

namespace {

void checkSubscripts(std::uint8_t who, std::uint8_t kind) {
    if (who > 1 || kind > 2)
        fault("mood subscript out of range");
}

// A sum or difference of two 16-bit values, worked out in int, where it cannot overflow.
std::int16_t checked16(int result) {
    if (result < std::numeric_limits<std::int16_t>::min() ||
        result > std::numeric_limits<std::int16_t>::max())
        fault("mood overflow");
    return static_cast<std::int16_t>(result);
}

} // namespace

std::int16_t& MoodTable::operator()(std::uint8_t who, std::uint8_t kind) {
    checkSubscripts(who, kind);
    return values_[who][kind];
}

std::int16_t MoodTable::operator()(std::uint8_t who, std::uint8_t kind) const {
    checkSubscripts(who, kind);
    return values_[who][kind];
}

std::int16_t checkedAdd(std::int16_t a, std::int16_t b) {
    return checked16(a + b);
}

std::int16_t checkedSubtract(std::int16_t a, std::int16_t b) {
    return checked16(a - b);
}

} // namespace mood
