// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "mood/mood_rules.h"

#include "common/report.h"

#include <limits>

namespace mood {

using common::fault;

namespace {

void checkSubscripts(std::uint8_t who, std::uint8_t kind) {
    if (who > 1 || kind > 2)
        fault("mood subscript out of range");
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

std::int16_t checked16(int result) {
    if (result < std::numeric_limits<std::int16_t>::min() ||
        result > std::numeric_limits<std::int16_t>::max())
        fault("mood overflow");
    return static_cast<std::int16_t>(result);
}

MoodRules::MoodRules(MoodView& view, common::RandomSource& random) : view_(view), random_(random) {}

// Each way of thinking moves one of the player's moods, chosen by how the player feels now, and
// one of the partner's. An ending reached by the first change does not stop the second.
void MoodRules::think() {
    switch (SelOpt) {
    case 0: {
        const bool angry = Mood(Player, Anger) > 100;
        AddMoodWithApology(Player, angry ? Sorrow : Anger, draw(10));
        AddMoodWithApology(Partner, Anger, draw(10));
        break;
    }
    case 1: {
        const bool sad = Mood(Player, Sorrow) > 100;
        AddMoodWithApology(Player, sad ? Anger : Sorrow, draw(10));
        AddMoodWithApology(Partner, Sorrow, draw(5));
        break;
    }
    case 2: {
        const bool angry = Mood(Player, Anger) > 100;
        const std::int16_t change = draw(10);
        AddMoodWithApology(Player, Anger, angry ? static_cast<std::int16_t>(-change) : change);
        AddMoodWithApology(Partner, Sorrow, draw(5));
        break;
    }
    default:
        break;
    }
    view_.captionChanged(caption());
}

// The wish to apologise follows sorrow minus anger.
void MoodRules::AddMoodWithApology(std::uint8_t who, std::uint8_t kind, std::int16_t delta) {
    AddMood(who, kind, delta);
    Mood(who, WishToApologise) = checked16(Mood(who, Sorrow) - Mood(who, Anger));
    AddMood(who, WishToApologise, 0);
}

void MoodRules::AddMood(std::uint8_t who, std::uint8_t kind, std::int16_t delta) {
    const std::int16_t c = ceilingOf(kind);
    const std::int16_t s = checked16(Mood(who, kind) + delta);
    if (s < 0)
        Mood(who, kind) = 0;
    else if (s > c)
        Mood(who, kind) = c;
    else
        Mood(who, kind) = s;
    if (who == Player)
        view_.barChanged(kind, Mood(Player, kind));
    TestEnding(c);
}

// The partner's wish is looked at first.
void MoodRules::TestEnding(std::int16_t ceiling) {
    if (Mood(Partner, WishToApologise) >= ceiling)
        view_.endingReached(1);
    else if (Mood(Player, WishToApologise) >= ceiling)
        view_.endingReached(0);
}

// Anger, sorrow and the wish to apologise, each followed by "_": 37_12_0_.
std::string MoodRules::caption() const {
    return std::to_string(Mood(Partner, Anger)) + "_" + std::to_string(Mood(Partner, Sorrow)) +
           "_" + std::to_string(Mood(Partner, WishToApologise)) + "_";
}

std::int16_t MoodRules::draw(int n) {
    return static_cast<std::int16_t>(common::drawFrom(random_, n));
}

} // namespace mood
