// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "mood/mood_table.h"

#include "platform/report.h"

namespace mood {

using platform::fault;

namespace {

void checkSubscripts(std::uint8_t who, std::uint8_t kind) {
    if (who > 1 || kind > 2) {
        fault("mood subscript out of range");
    }
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
    std::int16_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) {
        fault("mood overflow");
    }
    return sum;
}

std::int16_t checkedSubtract(std::int16_t a, std::int16_t b) {
    std::int16_t difference = 0;
    if (__builtin_sub_overflow(a, b, &difference)) {
        fault("mood overflow");
    }
    return difference;
}

} // namespace mood
