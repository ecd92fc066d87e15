// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "music/bgm.h"
#include "recording_mci.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

class BgmTest : public testing::Test {
protected:
    void startLikeTheGame(const std::string& path = "/games/sorawata/bgm.wav") {
        bgm.start(path);
        mci.sent.clear();
    }

    RecordingMci mci;
    music::Bgm bgm{mci};
};

} // namespace

// Start-up sends close, the quoted open and play, in that order, with no reply buffer.
TEST_F(BgmTest, StartUpSendsTheThreeCommandsInOrder) {
    bgm.start("/games/sorawata/bgm.wav");
    EXPECT_EQ(mci.texts(),
              (Texts{"close MIDI notify", "open \"/games/sorawata/bgm.wav\" alias MIDI",
                     "play MIDI notify"}));
    for (const auto& command : mci.sent) {
        EXPECT_FALSE(command.hasReply);
        EXPECT_EQ(command.replyLength, 0u);
        EXPECT_EQ(command.callbackWindow, 0);
    }
}

// While the music plays, a tick sends only the status query, with 15 declared of 16.
TEST_F(BgmTest, TickWhilePlayingOnlyAsksForTheMode) {
    startLikeTheGame();
    bgm.BgmTim_Timer();
    bgm.BgmTim_Timer();
    EXPECT_EQ(mci.texts(), (Texts{"status MIDI mode", "status MIDI mode"}));
    EXPECT_TRUE(mci.sent[0].hasReply);
    EXPECT_EQ(mci.sent[0].replyLength, 15u);
    EXPECT_EQ(mci.sent[0].callbackWindow, 0);
}

// Once the music has stopped, the next tick rewinds and plays from the start.
TEST_F(BgmTest, StoppedMusicIsRewoundAndReplayed) {
    startLikeTheGame();
    mci.modeReply = "stopped";
    bgm.BgmTim_Timer();
    EXPECT_EQ(mci.texts(), (Texts{"status MIDI mode", "seek MIDI to start", "play MIDI from 0"}));
    EXPECT_FALSE(mci.sent[1].hasReply);
    EXPECT_FALSE(mci.sent[2].hasReply);
}

// Only the first seven characters count, in any letter case: "stoppedX" matches, "stop" and
// "not ready" do not, and neither does a failed query, which leaves the spaces in place.
TEST_F(BgmTest, OnlyAStoppedModeRewinds) {
    const std::vector<std::pair<const char*, bool>> replies = {
        {"stopped", true},    {"STOPPED", true},       {"Stopped", true},
        {"sToPpEd", true},    {"stopped later", true}, {"stop", false},
        {"not ready", false}, {"paused", false},       {"", false},
        {nullptr, false},
    };
    for (const auto& [reply, rewinds] : replies) {
        SCOPED_TRACE(reply ? reply : "(failed query)");
        startLikeTheGame();
        mci.modeReply = reply;
        mci.result = reply ? 0 : music::mci_error::invalidDeviceName;
        bgm.BgmTim_Timer();
        EXPECT_EQ(mci.sent.size(), rewinds ? 3u : 1u);
    }
}

// While the music is not wanted, play sends nothing and a tick never rewinds.
TEST_F(BgmTest, UnwantedMusicIsNeitherPlayedNorRewound) {
    bgm.BgmOpen("bgm.wav");
    mci.sent.clear();
    bgm.BgmPlay();
    EXPECT_TRUE(mci.sent.empty());
    mci.modeReply = "stopped";
    bgm.BgmTim_Timer();
    EXPECT_EQ(mci.texts(), (Texts{"status MIDI mode"}));
}

// A path with spaces is quoted whole and otherwise unchanged; a second open closes the device
// under the alias before opening the new file.
TEST_F(BgmTest, OpenQuotesThePathAndClosesFirst) {
    bgm.BgmOpen("/home/a user/My Games/bgm.wav");
    bgm.BgmOpen("/b/other.wav");
    EXPECT_EQ(mci.texts(),
              (Texts{"close MIDI notify", "open \"/home/a user/My Games/bgm.wav\" alias MIDI",
                     "close MIDI notify", "open \"/b/other.wav\" alias MIDI"}));
}
