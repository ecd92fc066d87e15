// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "common/random.h"

#include <array>
#include <cstdint>
#include <string>

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

// A sum or difference of two moods, worked out in int where it cannot overflow, back in 16 bits.
std::int16_t checked16(int result);

// What the rules tell the window, each as it happens.
class MoodView {
public:
    virtual ~MoodView() = default;
    // The player's mood of `kind` now stands at `value` (of ceilingOf(kind)).
    virtual void barChanged(std::uint8_t kind, std::int16_t value) = 0;
    // The partner's moods, as the window caption shows them.
    virtual void captionChanged(const std::string& text) = 0;
    // A wish to apologise stands at its ceiling: ending 1 is the partner's, 0 the player's.
    virtual void endingReached(std::uint8_t n) = 0;
};

// The night's thinking, without a window: the moods of both people, the way of thinking chosen,
// the tick that moves the moods, and the test for the two endings.
class MoodRules {
public:
    MoodRules(MoodView& view, common::RandomSource& random);

    // Every mood back to 0.
    void newGame() { Mood = {}; }
    // The way of thinking for the next ticks.
    void select(std::uint8_t option) { SelOpt = option; }
    // The scene a choice shows, drawn from five: 0 to 4.
    int drawScene() { return draw(5); }
    // One thinking tick: the way of thinking moves a mood of each; the caption shows the partner's.
    void think();

    void AddMoodWithApology(std::uint8_t who, std::uint8_t kind, std::int16_t delta);
    void AddMood(std::uint8_t who, std::uint8_t kind, std::int16_t delta);

    std::int16_t mood(std::uint8_t who, std::uint8_t kind) const { return Mood(who, kind); }
    std::uint8_t selectedOption() const { return SelOpt; }

private:
    void TestEnding(std::int16_t ceiling);
    std::string caption() const;
    std::int16_t draw(int n);

    MoodView& view_;
    common::RandomSource& random_;
    MoodTable Mood;
    std::uint8_t SelOpt = 0;
};

} // namespace mood
