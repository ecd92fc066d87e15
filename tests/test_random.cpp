// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "common/random.h"
#include "scripted_random.h"

#include <cmath>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

// A draw from n is floor(r * n): each of the 15 murmur slots is reached by its own band of r.
TEST(DrawFrom, EachBandOfRGivesItsIndex) {
    std::vector<double> values;
    for (int i = 0; i < 15; ++i)
        values.push_back((i + 0.5) / 15);
    ScriptedRandom random(values);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(common::drawFrom(random, 15), i);
}

// The ends of [0, 1) give the first and the last index, never n itself.
TEST(DrawFrom, EndsOfTheRangeStayInside) {
    const double largestBelowOne = std::nextafter(1.0, 0.0);
    ScriptedRandom random{0.0, 14.999 / 15, largestBelowOne, 0.0, largestBelowOne, largestBelowOne};
    EXPECT_EQ(common::drawFrom(random, 15), 0);
    EXPECT_EQ(common::drawFrom(random, 15), 14);
    EXPECT_EQ(common::drawFrom(random, 15), 14);
    EXPECT_EQ(common::drawFrom(random, 5), 0);
    EXPECT_EQ(common::drawFrom(random, 5), 4);
    EXPECT_EQ(common::drawFrom(random, 10), 9);
}

// The clock-seeded generator's draws spread evenly over [0, 1), each tenth of it taking its tenth
// of them, and actually vary.
TEST(ClockRandom, DrawsSpreadEvenlyOverZeroToOne) {
    common::ClockRandom random;
    random.randomize();
    constexpr int draws = 100000;
    std::vector<int> perTenth(11);
    std::set<double> seen;
    for (int i = 0; i < draws; ++i) {
        const double r = random.next();
        ++perTenth[r < 0 || r >= 1 ? 10 : static_cast<std::size_t>(r * 10)];
        seen.insert(r);
    }
    for (int tenth = 0; tenth < 10; ++tenth)
        EXPECT_NEAR(perTenth[tenth], draws / 10, draws / 100) << "tenth " << tenth; // 10 sigma
    EXPECT_EQ(perTenth[10], 0) << "draws outside [0, 1)";
    EXPECT_GT(seen.size(), 99000u);
}

// Every index of a draw from 15 turns up from the real generator.
TEST(ClockRandom, DrawFromReachesEveryIndex) {
    common::ClockRandom random;
    random.randomize();
    std::set<int> indices;
    for (int i = 0; i < 10000; ++i)
        indices.insert(common::drawFrom(random, 15));
    EXPECT_EQ(indices, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
}

// The scripted source hands out its values in order and fails the test when it runs dry.
TEST(ScriptedRandom, GivesValuesInOrderThenFailsLoudly) {
    ScriptedRandom random{0.25, 0.75};
    EXPECT_EQ(random.next(), 0.25);
    EXPECT_EQ(random.next(), 0.75);
    EXPECT_EQ(random.remaining(), 0u);
    EXPECT_NONFATAL_FAILURE(random.next(), "ran out");
}

} // namespace
