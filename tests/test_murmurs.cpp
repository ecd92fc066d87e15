// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "game_world.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string repeated(const std::string& character, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += character;
    return text;
}

// Fifteen short murmurs with `first` in place of the first one.
std::string datWithFirstLine(const std::string& first) {
    std::string text = first + "\r\n";
    for (int i = 1; i < 15; ++i)
        text += "murmur " + std::to_string(i) + "\r\n";
    return text;
}

} // namespace

// A murmur keeps at most its first 4096 characters, cut between whole characters, and the cut is
// reported once; the lines after it are read as usual.
TEST(Murmurs, LongLineKeepsItsFirst4096Characters) {
    AssetFolder assets;
    assets.writeStandardSet();
    assets.writeFile("dat.txt", datWithFirstLine(repeated("夜", 5000)));
    testing::internal::CaptureStderr();
    Game game(assets, {});
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(game.frm.murmurs().line(0), repeated("夜", 4096));
    EXPECT_EQ(game.frm.murmurs().line(14), "murmur 14");
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find("dat.txt"), std::string::npos) << errors;
}

// A line of exactly 4096 characters is whole and no fault.
TEST(Murmurs, LineOf4096CharactersIsKeptWhole) {
    AssetFolder assets;
    assets.writeStandardSet();
    assets.writeFile("dat.txt", datWithFirstLine(repeated("a", 4095) + "夜"));
    testing::internal::CaptureStderr();
    Game game(assets, {});
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(game.frm.murmurs().line(0), repeated("a", 4095) + "夜");
}

// Every one of the fifteen murmurs can be drawn, and only those.
TEST(Murmurs, DrawsCoverAllFifteenLines) {
    AssetFolder assets;
    assets.writeStandardSet();
    std::vector<double> draws;
    for (int i = 0; i < 15; ++i)
        draws.push_back(i / 15.0);
    draws.push_back(0.99999);
    ScriptedRandom random(draws);
    murmur::Murmurs murmurs(random);
    murmurs.LoadLines(assets.path("dat.txt"));
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(murmurs.drawLine(), "murmur " + std::to_string(i));
    EXPECT_EQ(murmurs.drawLine(), "murmur 14");
}

// A short dat.txt still starts: missing murmurs are empty, with one complaint.
TEST(Murmurs, ShortFileLeavesEmptyMurmurs) {
    AssetFolder assets;
    assets.writeStandardSet();
    assets.writeFile("dat.txt", "first\r\nsecond\r\nthird");
    testing::internal::CaptureStderr();
    Game game(assets, {});
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("dat.txt"), std::string::npos);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_EQ(game.frm.murmurs().line(2), "third");
    EXPECT_EQ(game.frm.murmurs().line(3), "");
}
