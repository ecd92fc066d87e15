#include "media/bgm.h"
#include "music_files.h"
#include "platform/mci.h"

#include <QTemporaryDir>
#include <array>
#include <cstdlib>
#include <gtest/gtest.h>

namespace mci_error = platform::mci_error;
using platform::DeviceMode;

namespace {

// What the fake devices were asked to do, kept outside them so tests can look
// after the interpreter has closed (destroyed) a device.
struct DeviceLog {
    std::vector<std::string> openedPaths;
    std::vector<std::string> calls;
    int destroyed = 0;
    DeviceMode mode = DeviceMode::Stopped;
    std::int32_t openResult = 0;
};

class FakeDevice : public platform::SoundDevice {
public:
    explicit FakeDevice(DeviceLog& log) : log_(log) {}
    ~FakeDevice() override { ++log_.destroyed; }
    std::int32_t open(const std::string& path) override {
        log_.openedPaths.push_back(path);
        return log_.openResult;
    }
    std::int32_t play() override {
        log_.calls.push_back("play");
        return 0;
    }
    std::int32_t seek(std::int64_t milliseconds) override {
        log_.calls.push_back("seek " + std::to_string(milliseconds));
        return 0;
    }
    DeviceMode mode() const override { return log_.mode; }

private:
    DeviceLog& log_;
};

class MciTest : public testing::Test {
protected:
    std::int32_t send(const char* command) { return mci.mciSendStringA(command, nullptr, 0, 0); }

    std::string status(const char* command = "status MIDI mode") {
        std::array<char, 16> reply;
        reply.fill('#');
        if (mci.mciSendStringA(command, reply.data(), 15, 0) != 0)
            return "<error>";
        EXPECT_NE(std::find(reply.begin(), reply.begin() + 15, '\0'), reply.begin() + 15);
        return reply.data();
    }

    DeviceLog log;
    platform::MciCommandInterpreter mci{[this] { return std::make_unique<FakeDevice>(log); }};
};

} // namespace

// The path between the first quote and the last one reaches the device unchanged: spaces,
// double quotes and bytes that are no UTF-8 (a Shift-JIS folder name) included.
TEST_F(MciTest, QuotedPathReachesTheDeviceUnchanged) {
    const std::vector<std::string> paths = {
        "/home/a user/My Music/bgm.wav",
        "/home/me/\"best\" pack/bgm.wav",
        "/home/me/\"/bgm.wav",
        "/home/me/\x83\x54\x83\x93\x83\x76\x83\x8B/bgm.wav",
    };
    for (const std::string& path : paths) {
        EXPECT_EQ(send(("open \"" + path + "\" alias MIDI").c_str()), 0) << path;
        EXPECT_EQ(send("close MIDI"), 0);
    }
    EXPECT_EQ(log.openedPaths, paths);
}

// Verbs, aliases and keywords are case-insensitive; extra blanks do not matter.
TEST_F(MciTest, WordsIgnoreCaseAndExtraBlanks) {
    ASSERT_EQ(send("OPEN  \"/x/BGM.WAV\"\tAlias Midi"), 0);
    EXPECT_EQ(send("Play midi NOTIFY"), 0);
    EXPECT_EQ(status("STATUS MIDI MODE"), "stopped");
}

// The status query answers with the device's mode word and a NUL inside the declared length.
TEST_F(MciTest, StatusModeReportsTheDeviceMode) {
    ASSERT_EQ(send("open \"/x/bgm.wav\" alias MIDI"), 0);
    log.mode = DeviceMode::Playing;
    EXPECT_EQ(status(), "playing");
    log.mode = DeviceMode::Stopped;
    EXPECT_EQ(status(), "stopped");
    log.mode = DeviceMode::NotReady;
    EXPECT_EQ(status(), "not ready");
}

// A reply that would not fit is refused, and the buffer still holds a NUL within its length.
TEST_F(MciTest, ReplyTooShortIsRefusedSafely) {
    ASSERT_EQ(send("open \"/x/bgm.wav\" alias MIDI"), 0);
    std::array<char, 8> reply;
    reply.fill('#');
    EXPECT_EQ(mci.mciSendStringA("status MIDI mode", reply.data(), 4, 0), mci_error::paramOverflow);
    EXPECT_EQ(reply[0], '\0');
    EXPECT_EQ(reply[4], '#');
    EXPECT_EQ(mci.mciSendStringA("status MIDI mode", nullptr, 0, 0), 0);
}

// The game's rewind reaches the device as a seek to 0 and a play from 0.
TEST_F(MciTest, SeekAndPlayFromReachTheDevice) {
    ASSERT_EQ(send("open \"/x/bgm.wav\" alias MIDI"), 0);
    EXPECT_EQ(send("play MIDI notify"), 0);
    EXPECT_EQ(send("seek MIDI to start"), 0);
    EXPECT_EQ(send("play MIDI from 0"), 0);
    EXPECT_EQ(send("seek MIDI to 1500"), 0);
    EXPECT_EQ(log.calls,
              (std::vector<std::string>{"play", "seek 0", "seek 0", "play", "seek 1500"}));
}

// Closing removes the device; closing an alias that is not open fails harmlessly.
TEST_F(MciTest, CloseRemovesTheDevice) {
    EXPECT_EQ(send("close MIDI notify"), mci_error::invalidDeviceName);
    ASSERT_EQ(send("open \"/x/bgm.wav\" alias MIDI"), 0);
    EXPECT_EQ(send("close MIDI notify"), 0);
    EXPECT_EQ(log.destroyed, 1);
    EXPECT_EQ(send("play MIDI notify"), mci_error::invalidDeviceName);
}

// A second open under a used alias fails and leaves the first device playing on.
TEST_F(MciTest, DoubleOpenUnderOneAliasFails) {
    ASSERT_EQ(send("open \"/x/bgm.wav\" alias MIDI"), 0);
    EXPECT_EQ(send("open \"/y/other.wav\" alias midi"), mci_error::deviceOpen);
    EXPECT_EQ(log.openedPaths.size(), 1u);
    EXPECT_EQ(log.destroyed, 0);
    EXPECT_EQ(status(), "stopped");
}

// Without an alias the path itself names the device.
TEST_F(MciTest, PathIsTheAliasWhenNoneIsGiven) {
    ASSERT_EQ(send("open /x/bgm.wav"), 0);
    EXPECT_EQ(status("status /x/bgm.wav mode"), "stopped");
}

// The device is chosen from the extension unless the open names a type.
TEST_F(MciTest, DeviceTypeComesFromExtensionOrType) {
    EXPECT_EQ(send("open \"/x/bgm.mid\" alias A"), mci_error::cannotLoadDriver);
    EXPECT_EQ(send("open \"/x/bgm.mid\" type sequencer alias B"), mci_error::cannotLoadDriver);
    EXPECT_EQ(send("open \"/x/music\" type waveaudio alias C"), 0);
    EXPECT_EQ(log.openedPaths, (std::vector<std::string>{"/x/music"}));
}

// A device that refuses its file is not kept under the alias.
TEST_F(MciTest, FailedOpenKeepsNoDevice) {
    log.openResult = mci_error::invalidFile;
    EXPECT_EQ(send("open \"/x/bgm.wav\" alias MIDI"), mci_error::invalidFile);
    EXPECT_EQ(status(), "<error>");
    EXPECT_EQ(send("play MIDI notify"), mci_error::invalidDeviceName);
}

struct BadCommand {
    const char* text;
    std::int32_t expected;
};

class MciBadInput : public MciTest, public testing::WithParamInterface<BadCommand> {};

// Malformed or unknown commands return their error code and never crash.
TEST_P(MciBadInput, ReturnsAnError) {
    ASSERT_EQ(send("open \"/x/bgm.wav\" alias MIDI"), 0);
    std::array<char, 16> reply;
    reply.fill('#');
    EXPECT_EQ(mci.mciSendStringA(GetParam().text, reply.data(), 15, 0), GetParam().expected);
    EXPECT_EQ(reply[15], '#');
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MciBadInput,
    testing::Values(BadCommand{"", mci_error::missingCommandString},
                    BadCommand{"   ", mci_error::missingCommandString},
                    BadCommand{"fly MIDI", mci_error::unrecognizedCommand},
                    BadCommand{"play", mci_error::missingParameter},
                    BadCommand{"play OTHER", mci_error::invalidDeviceName},
                    BadCommand{"status OTHER mode", mci_error::invalidDeviceName},
                    BadCommand{"status MIDI", mci_error::missingParameter},
                    BadCommand{"status MIDI colour", mci_error::unrecognizedKeyword},
                    BadCommand{"play MIDI backwards", mci_error::unrecognizedKeyword},
                    BadCommand{"play MIDI from", mci_error::missingParameter},
                    BadCommand{"play MIDI from -5", mci_error::badInteger},
                    BadCommand{"play MIDI from 12x", mci_error::badInteger},
                    BadCommand{"seek MIDI", mci_error::missingParameter},
                    BadCommand{"seek MIDI to", mci_error::missingParameter},
                    BadCommand{"close MIDI now", mci_error::unrecognizedKeyword},
                    BadCommand{"open \"/x/a.wav alias B", mci_error::noClosingQuote},
                    BadCommand{"open \"/x/a.wav\"alias B", mci_error::noClosingQuote},
                    BadCommand{"open /x/\"a.wav\" alias B", mci_error::noClosingQuote},
                    BadCommand{"open \"/x/a.wav\" alias", mci_error::missingParameter},
                    BadCommand{"open \"/x/a.wav\" alias B shareable",
                               mci_error::unrecognizedKeyword},
                    BadCommand{"open a.wav alias B type waveaudio notify notify x",
                               mci_error::unrecognizedKeyword},
                    BadCommand{"open \"\" alias B", mci_error::cannotLoadDriver}));

// A null command text is refused.
TEST_F(MciTest, NullCommandIsRefused) {
    EXPECT_EQ(mci.mciSendStringA(nullptr, nullptr, 0, 0), mci_error::missingCommandString);
}

// The real wave device refuses missing files and files that are no sound before touching the
// audio output, and names each on stderr once, with the reason.
TEST(MciWaveFiles, UnplayableFilesAreRefused) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    music_files::writeBytes(folder + "text.wav", "this is not a sound");
    music_files::writeBytes(folder + "empty.wav", "");

    platform::MciCommandInterpreter mci;
    const auto open = [&](const std::string& name) {
        const std::string command = "open \"" + folder + name + "\" alias MIDI";
        testing::internal::CaptureStderr();
        const std::int32_t result = mci.mciSendStringA(command.c_str(), nullptr, 0, 0);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_TRUE(said.starts_with("sorawata: " + folder + name + ": ")) << said;
        return result;
    };
    EXPECT_EQ(open("missing.wav"), mci_error::fileNotFound);
    EXPECT_EQ(open("text.wav"), mci_error::invalidFile);
    EXPECT_EQ(open("empty.wav"), mci_error::invalidFile);
}

// With bgm.wav missing the game's poll only ever asks for the mode, and every ask fails.
TEST(MciWaveFiles, MissingMusicLeavesThePollAlone) {
    platform::MciCommandInterpreter mci;
    media::Bgm bgm(mci);
    bgm.BgmLoop = -1;
    bgm.BgmOpen("/nonexistent/folder/bgm.wav");
    EXPECT_EQ(bgm.MciResult, mci_error::fileNotFound);
    bgm.BgmPlay();
    EXPECT_EQ(bgm.MciResult, mci_error::invalidDeviceName);
    bgm.MciResult = 0;
    for (int tick = 0; tick < 5; ++tick)
        bgm.BgmTim_Timer();
    EXPECT_EQ(bgm.MciResult, 0) << "no rewind was sent";
}
