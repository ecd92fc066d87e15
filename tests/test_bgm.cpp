#include "media/bgm.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct SentCommand {
    std::string text;
    bool hasReply;
    std::uint32_t replyLength;
    std::intptr_t callbackWindow;
};

// Records every command and answers the status query with a chosen mode word.
class RecordingMci : public platform::MciInterface {
public:
    std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                std::intptr_t callbackWindow) override {
        sent.push_back({command, reply != nullptr, replyLength, callbackWindow});
        if (reply != nullptr && modeReply != nullptr) {
            std::memcpy(reply, modeReply, std::strlen(modeReply) + 1);
            return 0;
        }
        return result;
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& command : sent)
            out.push_back(command.text);
        return out;
    }

    std::vector<SentCommand> sent;
    const char* modeReply = "playing";
    std::int32_t result = 0;
};

using Texts = std::vector<std::string>;

class BgmTest : public testing::Test {
protected:
    void startLikeTheGame(const std::string& path = "/games/sorawata/bgm.wav") {
        bgm.BgmLoop = -1;
        bgm.BgmOpen(path);
        bgm.BgmPlay();
        mci.sent.clear();
    }

    RecordingMci mci;
    media::Bgm bgm{mci};
};

} // namespace

// Start-up sends close, the quoted open and play, in that order, with no reply buffer.
TEST_F(BgmTest, StartUpSendsTheThreeCommandsInOrder) {
    bgm.BgmLoop = -1;
    bgm.BgmOpen("/games/sorawata/bgm.wav");
    bgm.BgmPlay();
    EXPECT_EQ(mci.texts(),
              (Texts{"close MIDI notify", "open \"/games/sorawata/bgm.wav\" alias MIDI",
                     "play MIDI notify"}));
    for (const auto& command : mci.sent) {
        EXPECT_FALSE(command.hasReply);
        EXPECT_EQ(command.replyLength, 0u);
        EXPECT_EQ(command.callbackWindow, 0);
    }
}

// Each command's result lands in MciResult; the last one wins.
TEST_F(BgmTest, MciResultHoldsTheLatestResult) {
    mci.result = 263;
    bgm.BgmOpen("bgm.wav");
    EXPECT_EQ(bgm.MciResult, 263);
    mci.result = 0;
    bgm.BgmLoop = -1;
    bgm.BgmPlay();
    EXPECT_EQ(bgm.MciResult, 0);
}

// While the music plays, a tick sends only the status query, with 15 declared of 16.
TEST_F(BgmTest, TickWhilePlayingOnlyAsksForTheMode) {
    startLikeTheGame();
    bgm.MciResult = 1234;
    bgm.BgmTim_Timer();
    bgm.BgmTim_Timer();
    EXPECT_EQ(mci.texts(), (Texts{"status MIDI mode", "status MIDI mode"}));
    EXPECT_TRUE(mci.sent[0].hasReply);
    EXPECT_EQ(mci.sent[0].replyLength, 15u);
    EXPECT_EQ(mci.sent[0].callbackWindow, 0);
    EXPECT_EQ(bgm.MciResult, 1234) << "the status query's result is not stored";
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

// The mode word is compared without regard to case.
TEST_F(BgmTest, StoppedMatchesInAnyCase) {
    for (const char* word : {"STOPPED", "Stopped", "sToPpEd"}) {
        startLikeTheGame();
        mci.modeReply = word;
        bgm.BgmTim_Timer();
        EXPECT_EQ(mci.sent.size(), 3u) << word;
    }
}

// Only the first seven characters count: "stoppedX" matches, "stop" and "not ready" do not.
TEST_F(BgmTest, OnlyTheFirstSevenCharactersCount) {
    startLikeTheGame();
    mci.modeReply = "stopped later";
    bgm.BgmTim_Timer();
    EXPECT_EQ(mci.sent.size(), 3u);
    for (const char* word : {"stop", "not ready", "paused", ""}) {
        startLikeTheGame();
        mci.modeReply = word;
        bgm.BgmTim_Timer();
        EXPECT_EQ(mci.texts(), (Texts{"status MIDI mode"})) << word;
    }
}

// A failed status query leaves the spaces in place, so nothing is rewound.
TEST_F(BgmTest, FailedQueryRewindsNothing) {
    startLikeTheGame();
    mci.modeReply = nullptr;
    mci.result = 263;
    bgm.BgmTim_Timer();
    EXPECT_EQ(mci.texts(), (Texts{"status MIDI mode"}));
}

// With BgmLoop false, play sends nothing and a tick never rewinds.
TEST_F(BgmTest, LoopFlagFalseSendsNothing) {
    bgm.BgmOpen("bgm.wav");
    mci.sent.clear();
    bgm.BgmPlay();
    EXPECT_TRUE(mci.sent.empty());
    mci.modeReply = "stopped";
    bgm.BgmTim_Timer();
    EXPECT_EQ(mci.texts(), (Texts{"status MIDI mode"}));
}

// A path with spaces is quoted whole and otherwise unchanged.
TEST_F(BgmTest, PathWithSpacesIsQuoted) {
    bgm.BgmOpen("/home/a user/My Games/bgm.wav");
    EXPECT_EQ(mci.sent.at(1).text, "open \"/home/a user/My Games/bgm.wav\" alias MIDI");
}

// A second BgmOpen closes the device under the alias before opening the new file.
TEST_F(BgmTest, SecondOpenClosesTheFirst) {
    bgm.BgmOpen("/a/bgm.wav");
    bgm.BgmOpen("/b/other.wav");
    EXPECT_EQ(mci.texts(), (Texts{"close MIDI notify", "open \"/a/bgm.wav\" alias MIDI",
                                  "close MIDI notify", "open \"/b/other.wav\" alias MIDI"}));
}
