// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "game_world.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <malloc.h>
#include <random>
#include <string>

using mood::Anger;
using mood::Partner;
using mood::Player;
using mood::Sorrow;
using mood::WishToApologise;

namespace {

// The same long evening on every run: a fixed seed, and uniform draws strictly below 1.
class SeededRandom final : public common::RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed) : engine_(seed) {}
    void randomize() override {}
    double next() override { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

private:
    std::mt19937_64 engine_;
};

std::int16_t ceilingOf(std::uint8_t kind) {
    return kind == WishToApologise ? 80 : 200;
}

// A game over the standard assets, driven through the handlers its events call.
class LongEvening {
public:
    LongEvening()
        : frm_(standardAssets().path(), 15360, gameRandom_, music_, testPictureDecoder()) {
        frm_.Form_Load();
        frm_.Form_Activate();
    }

    // One step of the evening: now and then the player picks a way of thinking or clicks the
    // picture for a new game; then a thinking tick if one is due, and every third step a murmur.
    // True when a thinking tick ran.
    bool step(std::uint64_t index) {
        const bool ended = !timer(frm_, "timOpt").isActive();
        if (ended ? chance(20) : chance(5000)) {
            pic(frm_).click();
            ++newGames_;
        }
        if (chance(100))
            opt(frm_)[pick(3)]->click();
        bool ticked = false;
        if (timer(frm_, "timOpt").isActive()) {
            frm_.timOpt_Timer();
            ticked = true;
            endings_ += timer(frm_, "timOpt").isActive() ? 0 : 1;
        }
        if (index % 3 == 0 && timer(frm_, "timLbl").isActive())
            frm_.timLbl_Timer();
        return ticked;
    }

    // What is wrong with the window against the moods now; empty when all agrees.
    std::string inconsistency(bool afterTick) {
        const mood::MoodRules& m = frm_.moods();
        for (std::uint8_t who : {Player, Partner}) {
            for (std::uint8_t kind : {Anger, Sorrow, WishToApologise})
                if (m.mood(who, kind) < 0 || m.mood(who, kind) > ceilingOf(kind))
                    return describe("mood out of bounds", who, kind);
            const int wish = std::clamp(m.mood(who, Sorrow) - m.mood(who, Anger), 0, 80);
            if (m.mood(who, WishToApologise) != wish)
                return describe("wish is not sorrow minus anger", who, WishToApologise);
        }
        for (std::uint8_t kind : {Anger, Sorrow, WishToApologise})
            if (!barShows(kind))
                return describe("bar does not show the mood", Player, kind);
        const bool over =
            m.mood(Player, WishToApologise) == 80 || m.mood(Partner, WishToApologise) == 80;
        if (timer(frm_, "timOpt").isActive() == over)
            return "thinking goes on after an ending, or stopped without one";
        if (afterTick && caption(frm_) != partnerReadout())
            return "caption '" + caption(frm_) + "', partner " + partnerReadout();
        return {};
    }

    int newGames() const { return newGames_; }
    int endings() const { return endings_; }

private:
    bool chance(unsigned oneIn) { return driver_() % oneIn == 0; }
    int pick(unsigned n) { return static_cast<int>(driver_() % n); }

    // The fill is value / ceiling of the bar's height.
    bool barShows(std::uint8_t kind) {
        const app::MoodBar& bar = *bars(frm_)[kind];
        const double expected =
            double(bar.height()) * frm_.moods().mood(Player, kind) / ceilingOf(kind);
        return bar.value() == frm_.moods().mood(Player, kind) &&
               std::abs(bar.fillHeight() - expected) <= 1;
    }

    std::string partnerReadout() {
        const mood::MoodRules& m = frm_.moods();
        return std::to_string(m.mood(Partner, Anger)) + "_" +
               std::to_string(m.mood(Partner, Sorrow)) + "_" +
               std::to_string(m.mood(Partner, WishToApologise)) + "_";
    }

    std::string describe(const std::string& what, std::uint8_t who, std::uint8_t kind) {
        return what + ": Mood(" + std::to_string(who) + ", " + std::to_string(kind) +
               ") = " + std::to_string(frm_.moods().mood(who, kind));
    }

    SeededRandom gameRandom_{20240601};
    std::mt19937_64 driver_{7};
    SilentMci music_;
    app::Frm frm_;
    int newGames_ = 0;
    int endings_ = 0;
};

// Runs steps until `ticks` thinking ticks have passed; stops at the first inconsistency.
std::string play(LongEvening& evening, std::uint64_t ticks) {
    std::uint64_t done = 0;
    for (std::uint64_t index = 0; done < ticks; ++index) {
        const bool ticked = evening.step(index);
        done += ticked ? 1 : 0;
        if (std::string problem = evening.inconsistency(ticked); !problem.empty())
            return "step " + std::to_string(index) + ": " + problem;
        if (index % 1024 == 0)
            QCoreApplication::sendPostedEvents(); // what the event loop would do; timers stay out
    }
    return {};
}

std::size_t heapInUse() {
    return mallinfo2().uordblks;
}

} // namespace

// A million thinking ticks with the player changing their mind and starting over: after every
// tick the moods stay in bounds, the bars and the caption show them, and the heap does not grow.
TEST(LongPlay, AMillionTicksStayConsistentAndDoNotGrowTheHeap) {
    LongEvening evening;
    ASSERT_EQ(play(evening, 20'000), "") << "while warming up";
    const std::size_t before = heapInUse();
    ASSERT_EQ(play(evening, 1'000'000), "");
    const std::size_t after = heapInUse();
    constexpr std::size_t slack = 64 * 1024;
    EXPECT_LE(after, before + slack) << "heap grew from " << before << " to " << after << " bytes";
    std::printf("heap in use: %zu bytes before, %zu after; %d new games, %d endings\n", before,
                after, evening.newGames(), evening.endings());
}
