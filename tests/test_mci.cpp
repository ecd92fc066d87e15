// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "music/bgm.h"
#include "music_files.h"
#include "recording_mci.h"
#include "sound/mci_commands.h"
#include "sound/sound_library.h"
#include "sound/sound_server_device.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace mci_error = music::mci_error;
using sound::DeviceMode;

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

class FakeDevice : public sound::SoundDevice {
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
    std::int32_t rewind() override {
        log_.calls.push_back("rewind");
        return 0;
    }
    DeviceMode mode() const override { return log_.mode; }

private:
    DeviceLog& log_;
};

class MciTest : public testing::Test {
protected:
    std::int32_t send(const std::string& command) {
        return mci.mciSendStringA(command.c_str(), nullptr, 0, 0);
    }

    std::string status() {
        std::array<char, 16> reply;
        reply.fill('#');
        if (mci.mciSendStringA("status MIDI mode", reply.data(), 15, 0) != 0)
            return "<error>";
        EXPECT_NE(std::find(reply.begin(), reply.begin() + 15, '\0'), reply.begin() + 15);
        return reply.data();
    }

    DeviceLog log;
    sound::MciCommandInterpreter mci{[this] { return std::make_unique<FakeDevice>(log); }};
};

} // namespace

// The path between the first quote and the last `" alias MIDI` reaches the device unchanged:
// spaces, double quotes, the alias words and bytes that are no UTF-8 (a Shift-JIS folder name).
TEST_F(MciTest, QuotedPathReachesTheDeviceUnchanged) {
    const std::vector<std::string> paths = {
        "/home/a user/My Music/bgm.wav",
        "/home/me/\"best\" pack/bgm.wav",
        "/home/me/\"/bgm.wav",
        "/home/me/\" alias MIDI/bgm.wav",
        "/home/me/\x83\x54\x83\x93\x83\x76\x83\x8B/bgm.wav",
        "",
    };
    for (const std::string& path : paths) {
        EXPECT_EQ(send("open \"" + path + "\" alias MIDI"), 0) << path;
        EXPECT_EQ(send("close MIDI notify"), 0);
    }
    EXPECT_EQ(log.openedPaths, paths);
    EXPECT_EQ(log.destroyed, static_cast<int>(paths.size()));
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

// A reply that would not fit is refused, and the buffer holds a NUL and nothing past its length.
TEST_F(MciTest, ReplyTooShortIsRefusedSafely) {
    ASSERT_EQ(send("open \"/x/bgm.wav\" alias MIDI"), 0);
    std::array<char, 8> reply;
    reply.fill('#');
    EXPECT_EQ(mci.mciSendStringA("status MIDI mode", reply.data(), 4, 0), mci_error::paramOverflow);
    EXPECT_EQ(reply[0], '\0');
    EXPECT_EQ(reply[4], '#');
    EXPECT_EQ(mci.mciSendStringA("status MIDI mode", nullptr, 0, 0), 0);
}

// Play starts the device; the game's rewind reaches it as a rewind, then a rewind and a play.
TEST_F(MciTest, PlayAndRewindReachTheDevice) {
    ASSERT_EQ(send("open \"/x/bgm.wav\" alias MIDI"), 0);
    EXPECT_EQ(send("play MIDI notify"), 0);
    EXPECT_EQ(send("seek MIDI to start"), 0);
    EXPECT_EQ(send("play MIDI from 0"), 0);
    EXPECT_EQ(log.calls, (std::vector<std::string>{"play", "rewind", "rewind", "play"}));
}

// Closing removes the device; every command but open then fails harmlessly, as before any open.
TEST_F(MciTest, WithoutAnOpenDeviceCommandsFailHarmlessly) {
    ASSERT_EQ(send("open \"/x/bgm.wav\" alias MIDI"), 0);
    EXPECT_EQ(send("close MIDI notify"), 0);
    EXPECT_EQ(log.destroyed, 1);
    for (const char* command : {"close MIDI notify", "play MIDI notify", "status MIDI mode",
                                "seek MIDI to start", "play MIDI from 0"})
        EXPECT_EQ(send(command), mci_error::invalidDeviceName) << command;
    EXPECT_EQ(status(), "<error>");
    EXPECT_TRUE(log.calls.empty());
}

// A second open under the alias fails and leaves the first device playing on.
TEST_F(MciTest, DoubleOpenUnderTheAliasFails) {
    ASSERT_EQ(send("open \"/x/bgm.wav\" alias MIDI"), 0);
    EXPECT_EQ(send("open \"/y/other.wav\" alias MIDI"), mci_error::deviceOpen);
    EXPECT_EQ(log.openedPaths.size(), 1u);
    EXPECT_EQ(log.destroyed, 0);
    EXPECT_EQ(status(), "stopped");
}

// A device that refuses its file is not kept under the alias.
TEST_F(MciTest, FailedOpenKeepsNoDevice) {
    log.openResult = mci_error::invalidFile;
    EXPECT_EQ(send("open \"/x/bgm.wav\" alias MIDI"), mci_error::invalidFile);
    EXPECT_EQ(log.destroyed, 1);
    EXPECT_EQ(status(), "<error>");
    EXPECT_EQ(send("play MIDI notify"), mci_error::invalidDeviceName);
}

// Only the game's own command texts are understood, exactly as it writes them: anything else,
// a null text included, is an unrecognised command that touches neither the device nor the reply.
TEST_F(MciTest, AnyOtherTextIsUnrecognised) {
    ASSERT_EQ(send("open \"/x/bgm.wav\" alias MIDI"), 0);
    const char* const others[] = {
        nullptr,
        "",
        "close all",
        "close MIDI",
        "CLOSE MIDI NOTIFY",
        "play  MIDI notify",
        "play MIDI notify ",
        "status MIDI mode\n",
        "status midi mode",
        "status OTHER mode",
        "seek MIDI to 0",
        "play MIDI from 1500",
        "open \"/x/bgm.wav\" alias MIDI ",
        "open \"/x/bgm.wav\"alias MIDI",
        "open \"/x/bgm.wav\" alias OTHER",
        "open /x/bgm.wav alias MIDI",
        "open \"/x/bgm.wav\" type waveaudio alias MIDI",
        "open \" alias MIDI",
    };
    for (const char* text : others) {
        std::array<char, 16> reply;
        reply.fill('#');
        EXPECT_EQ(mci.mciSendStringA(text, reply.data(), 15, 0), mci_error::unrecognizedCommand)
            << (text ? text : "(null)");
        EXPECT_EQ(reply[0], '#');
    }
    EXPECT_EQ(log.openedPaths.size(), 1u);
    EXPECT_TRUE(log.calls.empty());
    EXPECT_EQ(log.destroyed, 0);
}

namespace {

// What the process writes on its stderr descriptor while one lives, read back as it comes.
class StderrLines {
public:
    StderrLines() {
        std::fflush(nullptr);
        dup2(fileno(file_), STDERR_FILENO);
    }
    ~StderrLines() {
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        std::fclose(file_);
    }
    StderrLines(const StderrLines&) = delete;
    StderrLines& operator=(const StderrLines&) = delete;

    std::string text() const {
        std::string all(1 << 16, '\0');
        all.resize(std::max<ssize_t>(pread(fileno(file_), all.data(), all.size(), 0), 0));
        return all;
    }
    // All written so far once there are `count` lines, or when the patience runs out.
    std::string waitForLines(long count) const {
        QElapsedTimer waited;
        waited.start();
        std::string all = text();
        while (std::count(all.begin(), all.end(), '\n') < count && waited.elapsed() < 30000) {
            QThread::msleep(5);
            all = text();
        }
        return all;
    }

private:
    std::FILE* file_ = std::tmpfile();
    int saved_ = dup(STDERR_FILENO);
};

} // namespace

// The real wave device's open returns at once; the audio thread then finds that the file is
// missing, no sound, a sound faster than the sound server takes or too costly to open, says so in
// one line naming the file, and leaves the device "not ready": the game's poll never rewinds it.
TEST(MciWaveFiles, UnplayableFilesAreToldAndNeverReady) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    test_files::writeFile(folder + "text.wav", "this is not a sound");
    test_files::writeFile(folder + "empty.wav", "");
    ASSERT_TRUE(music_files::writeSound(folder + "fast.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1,
                                        400000, std::vector<short>(400)));
    ASSERT_TRUE(music_files::writeFlacWithPadding(folder + "padded.flac", std::int64_t(8) << 30));
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"missing.wav", "file not found"},
        {"text.wav", ""},
        {"empty.wav", ""},
        {"fast.wav", "400000 samples a second, more than the 384000 the sound server takes"},
        {"padded.flac", "reads more than 32 MiB before its first sound"},
    };
    for (const auto& [name, reason] : cases) {
        SCOPED_TRACE(name);
        const StderrLines stderrLines;
        {
            sound::MciCommandInterpreter interpreter(sound::makeSoundServerDevice);
            RecordingMci mci(interpreter);
            music::Bgm bgm(mci);
            bgm.start(folder + name);
            const std::string said = stderrLines.waitForLines(1);
            EXPECT_TRUE(said.starts_with("sorawata: " + folder + name + ": " + reason)) << said;
            for (int tick = 0; tick < 5; ++tick)
                bgm.BgmTim_Timer();
            std::array<char, 16> reply{};
            EXPECT_EQ(interpreter.mciSendStringA("status MIDI mode", reply.data(), 15, 0), 0);
            EXPECT_STREQ(reply.data(), "not ready");
            for (const SentCommand& sent : mci.sent)
                EXPECT_TRUE(sent.text != "seek MIDI to start") << "a rewind was sent";
        }
        const std::string said = stderrLines.text();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
}

// With bgm.wav missing, or without the sound library beside the program (here, beside the test),
// the open succeeds, as it reads nothing, and the play fails; the game's poll only ever asks for
// the mode, which stays "not ready". One line says why. The library is not even looked for until
// the game lets it load: a device that goes before then says nothing, and goes at once.
TEST(MciWaveFiles, SilentMusicLeavesThePollAlone) {
    const std::string path = "/nonexistent/folder/bgm.wav";
    {
        const StderrLines stderrLines;
        {
            sound::MciCommandInterpreter interpreter(sound::makeSoundLibraryDevice);
            RecordingMci mci(interpreter);
            music::Bgm bgm(mci);
            bgm.start(path);
        }
        EXPECT_EQ(stderrLines.text(), "");
    }
    sound::letSoundLibraryLoad();
    const std::vector<std::pair<std::function<std::unique_ptr<sound::SoundDevice>()>, std::string>>
        cases = {
            {sound::makeSoundServerDevice, "sorawata: " + path + ": file not found"},
            {sound::makeSoundLibraryDevice,
             "sorawata: the music is silent: its sound library cannot"},
        };
    for (const auto& [makeDevice, line] : cases) {
        SCOPED_TRACE(line);
        const StderrLines stderrLines; // outlives the audio thread's line
        {
            sound::MciCommandInterpreter interpreter(makeDevice);
            RecordingMci mci(interpreter);
            music::Bgm bgm(mci);
            bgm.start(path);
            EXPECT_TRUE(stderrLines.waitForLines(1).starts_with(line)) << stderrLines.text();
            for (int tick = 0; tick < 5; ++tick)
                bgm.BgmTim_Timer();
            std::vector<std::pair<std::string, std::int32_t>> results;
            for (const SentCommand& command : mci.sent)
                results.emplace_back(command.text, command.result);
            const std::pair<std::string, std::int32_t> poll = {"status MIDI mode", 0};
            EXPECT_EQ(results, (std::vector<std::pair<std::string, std::int32_t>>{
                                   {"close MIDI notify", mci_error::invalidDeviceName},
                                   {"open \"" + path + "\" alias MIDI", 0},
                                   {"play MIDI notify", mci_error::deviceNotReady},
                                   poll,
                                   poll,
                                   poll,
                                   poll,
                                   poll}));
        }
        const std::string said = stderrLines.text();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
}
