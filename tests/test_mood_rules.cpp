// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// The rules of the moods on their own: no window, no pictures, no widgets.

#include "mood/mood_rules.h"
#include "scripted_random.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using mood::Anger;
using mood::Partner;
using mood::Player;
using mood::Sorrow;
using mood::WishToApologise;

namespace {

// Writes down what the rules tell the window, in order.
class RecordingView final : public mood::MoodView {
public:
    void barChanged(std::uint8_t kind, std::int16_t value) override {
        events.push_back("bar " + std::to_string(kind) + " " + std::to_string(value));
    }
    void captionChanged(const std::string& text) override { events.push_back("caption " + text); }
    void endingReached(std::uint8_t n) override { events.push_back("ending " + std::to_string(n)); }

    std::vector<std::string> events;
};

struct Setting {
    std::uint8_t who;
    std::uint8_t kind;
    std::int16_t value;
};

struct Night {
    explicit Night(std::vector<double> draws = {})
        : random(std::move(draws)), rules(view, random) {}

    // Brings each mood to its value through AddMood and forgets what that showed.
    void set(const std::vector<Setting>& settings) {
        for (const Setting& s : settings)
            rules.AddMood(s.who, s.kind,
                          static_cast<std::int16_t>(s.value - rules.mood(s.who, s.kind)));
        view.events.clear();
    }

    RecordingView view;
    ScriptedRandom random;
    mood::MoodRules rules;
};

} // namespace

// AddMood clamps to 0 and the ceiling (200, 80 for the wish), redraws the player's bar of that
// kind, then runs the ending test: the partner's wish first, and only against the ceiling just
// used.
TEST(AddMood, ClampsRedrawsThePlayersBarThenTestsForAnEnding) {
    struct Case {
        const char* what;
        std::vector<Setting> before;
        std::uint8_t who;
        std::uint8_t kind;
        std::int16_t delta;
        std::int16_t after;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"anger 195 + 9", {{Player, Anger, 195}}, Player, Anger, 9, 200, {"bar 0 200"}},
        {"anger 200 + 0", {{Player, Anger, 200}}, Player, Anger, 0, 200, {"bar 0 200"}},
        {"sorrow 3 - 9", {{Player, Sorrow, 3}}, Player, Sorrow, -9, 0, {"bar 1 0"}},
        {"sorrow 8 - 9", {{Player, Sorrow, 8}}, Player, Sorrow, -9, 0, {"bar 1 0"}},
        {"the partner's moods have no bar", {}, Partner, Anger, 9, 9, {}},
        {"the wish stops at 80 and ends the game",
         {},
         Player,
         WishToApologise,
         95,
         80,
         {"bar 2 80", "ending 0"}},
        {"a wish of 79 ends nothing",
         {{Player, WishToApologise, 79}},
         Player,
         WishToApologise,
         0,
         79,
         {"bar 2 79"}},
        {"the partner's wish", {}, Partner, WishToApologise, 95, 80, {"ending 1"}},
        {"both wishes at 80: the partner's ending",
         {{Player, WishToApologise, 80}, {Partner, WishToApologise, 80}},
         Player,
         WishToApologise,
         0,
         80,
         {"bar 2 80", "ending 1"}},
        {"a change to the partner still tests",
         {{Player, WishToApologise, 80}},
         Partner,
         WishToApologise,
         0,
         0,
         {"ending 0"}},
        {"full anger or sorrow never ends",
         {{Player, WishToApologise, 80}, {Partner, Sorrow, 200}},
         Partner,
         Sorrow,
         5,
         200,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Night night;
        night.set(c.before);
        night.rules.AddMood(c.who, c.kind, c.delta);
        EXPECT_EQ(night.rules.mood(c.who, c.kind), c.after);
        EXPECT_EQ(night.view.events, c.events);
    }
}

// The wish to apologise becomes sorrow minus anger, clamped to 0..80, from the value just changed;
// its bar is redrawn before the ending test runs.
TEST(AddMoodWithApology, DerivesTheWishFromSorrowAndAnger) {
    struct Case {
        std::uint8_t who;
        std::int16_t sorrow;
        std::int16_t anger;
        std::int16_t angerDelta;
        std::int16_t angerAfter;
        std::int16_t wish;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {Player, 50, 120, 0, 120, 0, {"bar 0 120", "bar 2 0"}},
        {Player, 150, 100, 0, 100, 50, {"bar 0 100", "bar 2 50"}},
        {Player, 190, 105, 0, 105, 80, {"bar 0 105", "bar 2 80", "ending 0"}},
        {Partner, 190, 105, 0, 105, 80, {"ending 1"}},
        {Partner, 40, 5, -9, 0, 40, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "who " << int(c.who) << ", sorrow " << c.sorrow
                                        << ", anger " << c.anger << " " << c.angerDelta);
        Night night;
        night.set({{c.who, Sorrow, c.sorrow}, {c.who, Anger, c.anger}});
        night.rules.AddMoodWithApology(c.who, Anger, c.angerDelta);
        EXPECT_EQ(night.rules.mood(c.who, Anger), c.angerAfter);
        EXPECT_EQ(night.rules.mood(c.who, WishToApologise), c.wish);
        EXPECT_EQ(night.view.events, c.events);
    }
}

// Each way of thinking tests the player's mood strictly (100 takes the other column), changes the
// player by one draw from 10 and the partner by one more, two draws in all.
TEST(ThinkingTick, OptionRulesAtTheirThresholds) {
    struct Case {
        std::uint8_t option;
        std::uint8_t testedKind;
        std::int16_t testedValue;
        double firstDraw;
        std::uint8_t changedKind;
        int delta;
        std::uint8_t partnerKind;
        int partnerDraws;
    };
    const double seven = drawing(7, 10);
    const Case cases[] = {
        {0, Anger, 100, seven, Anger, 7, Anger, 10},
        {0, Anger, 101, seven, Sorrow, 7, Anger, 10},
        {1, Sorrow, 100, seven, Sorrow, 7, Sorrow, 5},
        {1, Sorrow, 101, seven, Anger, 7, Sorrow, 5},
        {2, Anger, 100, seven, Anger, 7, Sorrow, 5},
        {2, Anger, 101, seven, Anger, -7, Sorrow, 5},
        {2, Anger, 105, 0.99999, Anger, -9, Sorrow, 5}, // never by 10
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "option " << int(c.option) << " at " << c.testedValue);
        Night night({c.firstDraw, drawing(3, c.partnerDraws)});
        night.rules.select(c.option);
        night.set({{Player, c.testedKind, c.testedValue}});
        const std::int16_t before = night.rules.mood(Player, c.changedKind);
        night.rules.think();
        EXPECT_EQ(night.rules.mood(Player, c.changedKind), before + c.delta);
        EXPECT_EQ(night.rules.mood(Partner, c.partnerKind), 3);
        EXPECT_EQ(night.random.remaining(), 0u);
    }
}

// A tick shows every change to the player, a change of 0 too, and ends with the partner's moods
// in the caption; an ending in its first change does not cut it short.
TEST(ThinkingTick, ShowsEachChangeInOrder) {
    struct Case {
        const char* what;
        std::uint8_t option;
        std::vector<Setting> before;
        std::vector<double> draws;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"first tick of a game",
         0,
         {},
         {drawing(0, 10), drawing(7, 10)},
         {"bar 0 0", "bar 2 0", "caption 7_0_0_"}},
        {"the partner's readout",
         0,
         {{Partner, Anger, 30}, {Partner, Sorrow, 12}},
         {drawing(0, 10), drawing(7, 10)},
         {"bar 0 0", "bar 2 0", "caption 37_12_0_"}},
        {"the partner's anger at its ceiling",
         0,
         {{Partner, Anger, 195}},
         {drawing(0, 10), drawing(9, 10)},
         {"bar 0 0", "bar 2 0", "caption 200_0_0_"}},
        {"both endings in one tick",
         1,
         {{Player, Sorrow, 75}, {Partner, Sorrow, 76}},
         {drawing(5, 10), drawing(4, 5)},
         {"bar 1 80", "bar 2 80", "ending 0", "ending 1", "caption 0_80_80_"}},
        {"the player's ending twice",
         1,
         {{Player, Sorrow, 75}},
         {drawing(5, 10), drawing(0, 5)},
         {"bar 1 80", "bar 2 80", "ending 0", "ending 0", "caption 0_0_0_"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Night night(c.draws);
        night.rules.select(c.option);
        night.set(c.before);
        night.rules.think();
        EXPECT_EQ(night.view.events, c.events);
    }
}

// A choice keeps the way of thinking for the next tick and shows one of the five scenes, drawn
// anew every time, also for the option already chosen; only the last choice before a tick counts.
TEST(Choices, KeepTheOptionAndDrawAScene) {
    Night night({0.0, 0.2, 0.4, 0.6, 0.8, 0.99999, drawing(2, 10), drawing(3, 5)});
    const std::uint8_t options[] = {2, 1, 0, 0, 2, 2};
    std::vector<int> scenes;
    for (const std::uint8_t option : options) {
        night.rules.select(option);
        EXPECT_EQ(night.rules.selectedOption(), option);
        scenes.push_back(night.rules.drawScene());
    }
    EXPECT_EQ(scenes, (std::vector<int>{0, 1, 2, 3, 4, 4}));
    EXPECT_TRUE(night.view.events.empty());
    night.rules.select(1);
    night.rules.think();
    EXPECT_EQ(night.rules.mood(Player, Sorrow), 2);
    EXPECT_EQ(night.rules.mood(Partner, Sorrow), 3);
}

// A new game puts all six moods back to 0 and shows nothing by itself.
TEST(NewGame, PutsEveryMoodBackToZero) {
    Night night;
    night.set({{Player, Anger, 150},
               {Player, Sorrow, 20},
               {Partner, Sorrow, 200},
               {Partner, WishToApologise, 80}});
    night.rules.newGame();
    for (const std::uint8_t who : {Player, Partner})
        for (const std::uint8_t kind : {Anger, Sorrow, WishToApologise})
            EXPECT_EQ(night.rules.mood(who, kind), 0);
    EXPECT_TRUE(night.view.events.empty());
}

// A mood subscript out of range or an overflowing sum ends the program at once.
TEST(MoodTableDeathTest, FaultsEndTheProgram) {
    Night night;
    EXPECT_DEATH(night.rules.AddMood(2, Anger, 0), "mood subscript out of range");
    EXPECT_DEATH(night.rules.AddMood(Player, 3, 0), "mood subscript out of range");
    EXPECT_DEATH(mood::checked16(32767 + 1), "mood overflow");
    EXPECT_DEATH(mood::checked16(-32768 - 1), "mood overflow");
}
