// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "music/bgm.h"
#include "music_files.h"
#include "recording_mci.h"
#include "sound/mci_commands.h"
#include "sound/sound_server_device.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// How long a condition may take to come true before a test gives up: long, as a busy machine
// may be slow, and spent only when something is wrong.
constexpr int kPatienceMs = 30000;

// A private PulseAudio server with one null sink, so the real audio output can be exercised on
// machines without sound hardware or a running server. It can be stopped and started again at the
// same socket, as a desktop's sound server restarts.
class PulseServer {
public:
    PulseServer() { setenv("PULSE_SERVER", ("unix:" + socket()).toUtf8().constData(), 1); }

    bool start() {
        if (!runtime_.isValid())
            return false;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime_.path());
        environment.insert("HOME", runtime_.path());
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start("pulseaudio",
                       {"--daemonize=no", "--exit-idle-time=-1", "--system=false", "-n",
                        "--use-pid-file=false", "--log-level=0", "-L",
                        "module-null-sink sink_name=test_sink", "-L",
                        "module-native-protocol-unix auth-anonymous=1 socket=" + socket()});
        if (!process_.waitForStarted(kPatienceMs))
            return false;
        QElapsedTimer waited;
        waited.start();
        while (!running() && waited.elapsed() < kPatienceMs)
            QThread::msleep(20);
        return running();
    }

    // Kills the server as a crash would; it leaves its socket file behind.
    void stop() {
        process_.kill();
        process_.waitForFinished(kPatienceMs);
    }

    bool running() const {
        return process_.state() == QProcess::Running && QFileInfo::exists(socket());
    }

    ~PulseServer() { stop(); }

private:
    QString socket() const { return runtime_.path() + "/native"; }

    QTemporaryDir runtime_;
    QProcess process_;
};

std::string writeWave(const QTemporaryDir& dir, int frames) {
    const std::string path = dir.path().toStdString() + "/bgm with spaces.wav";
    EXPECT_TRUE(music_files::writeShortWave(path, frames));
    return path;
}

std::string mode(music::MciInterface& mci) {
    std::array<char, 16> reply{};
    if (mci.mciSendStringA("status MIDI mode", reply.data(), 15, 0) != 0)
        return "<error>";
    return reply.data();
}

// Runs the event loop, ticking the music poll every millisecond, until the
// mode is `wanted` or the patience runs out; returns the last mode seen.
std::string pollUntil(music::MciInterface& mci, music::Bgm& bgm, const std::string& wanted,
                      bool tick) {
    QElapsedTimer waited;
    waited.start();
    std::string seen = mode(mci);
    while (seen != wanted && waited.elapsed() < kPatienceMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        if (tick)
            bgm.BgmTim_Timer();
        QThread::usleep(500);
        seen = mode(mci);
    }
    return seen;
}

class WaveDeviceTest : public testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new PulseServer; }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        if (!server_->running() && !server_->start())
            GTEST_SKIP() << "pulseaudio could not be started here";
    }

    static PulseServer* server_;
    QTemporaryDir dir_;
    sound::MciCommandInterpreter device_{sound::makeSoundServerDevice};
    RecordingMci mci_{device_};
    music::Bgm bgm_{mci_};
};

PulseServer* WaveDeviceTest::server_ = nullptr;

// The result of the latest `command` sent.
std::int32_t resultOf(const RecordingMci& mci, const std::string& command) {
    for (auto sent = mci.sent.rbegin(); sent != mci.sent.rend(); ++sent)
        if (sent->text == command)
            return sent->result;
    ADD_FAILURE() << command << " was not sent";
    return -1;
}

} // namespace

// Once the audio thread has opened the file and has an output, the device is stopped at the start;
// play makes it play.
TEST_F(WaveDeviceTest, OpenThenPlay) {
    const std::string open = "open \"" + writeWave(dir_, 8000) + "\" alias MIDI";
    ASSERT_EQ(device_.mciSendStringA(open.c_str(), nullptr, 0, 0), 0);
    EXPECT_EQ(pollUntil(device_, bgm_, "stopped", false), "stopped");
    EXPECT_EQ(device_.mciSendStringA("play MIDI notify", nullptr, 0, 0), 0);
    EXPECT_EQ(mode(device_), "playing");
}

// The device stands stopped once ready, as a short sound does once fed out, and the poll's rewind
// plays it. Half a second is more than the server holds ahead, so each round is still playing
// right after its start.
TEST_F(WaveDeviceTest, EndIsReportedAndTheRewindPlaysAgain) {
    bgm_.start(writeWave(dir_, 4000));
    EXPECT_EQ(pollUntil(device_, bgm_, "stopped", false), "stopped");
    bgm_.BgmTim_Timer();
    EXPECT_EQ(resultOf(mci_, "seek MIDI to start"), 0);
    EXPECT_EQ(resultOf(mci_, "play MIDI from 0"), 0);
    EXPECT_EQ(mode(device_), "playing");
    EXPECT_EQ(pollUntil(device_, bgm_, "stopped", false), "stopped") << "the second round ends too";
}

// Without a sound server the device is open but not ready, and the poll sends no rewind; once a
// server is there again the device stands stopped and the poll plays the music. The player reads
// one line when the output is missing or lost, and one when it is back.
TEST_F(WaveDeviceTest, TheMusicComesBackWithTheSoundServer) {
    for (const bool serverAtOpen : {true, false}) {
        SCOPED_TRACE(serverAtOpen ? "the server goes away while the music plays"
                                  : "no server at the open");
        sound::MciCommandInterpreter device(sound::makeSoundServerDevice);
        RecordingMci mci(device);
        music::Bgm bgm(mci);
        if (!serverAtOpen)
            server_->stop();
        testing::internal::CaptureStderr();
        const std::string path = writeWave(dir_, 80000);
        bgm.start(path);
        EXPECT_EQ(resultOf(mci, "open \"" + path + "\" alias MIDI"), 0);
        if (serverAtOpen) {
            EXPECT_EQ(pollUntil(device, bgm, "playing", true), "playing");
            server_->stop();
        } else {
            EXPECT_EQ(resultOf(mci, "play MIDI notify"), music::mci_error::deviceNotReady);
        }
        EXPECT_EQ(pollUntil(device, bgm, "not ready", true), "not ready");
        mci.sent.clear();
        bgm.BgmTim_Timer();
        EXPECT_EQ(mci.texts(), std::vector<std::string>{"status MIDI mode"}) << "no rewind is sent";

        ASSERT_TRUE(server_->start());
        EXPECT_EQ(pollUntil(device, bgm, "playing", true), "playing");
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
        EXPECT_TRUE(said.starts_with(serverAtOpen ? "sorawata: the music's audio output was lost"
                                                  : "sorawata: no audio output for the music"))
            << said;
        EXPECT_TRUE(said.ends_with("plays from the start\n")) << said;
    }
}

// The number of times `command` was sent.
long timesSent(const RecordingMci& mci, const std::string& command) {
    return std::count_if(
        mci.sent.begin(), mci.sent.end(),
        [&](const SentCommand& sent) { return sent.text == command; });
}

// Ticks the music poll until `command` has been sent `times` more times; false if it was not
// within a few seconds.
bool tickUntilSent(const RecordingMci& mci, music::Bgm& bgm, const std::string& command,
                   long times) {
    const long wanted = timesSent(mci, command) + times;
    QElapsedTimer waited;
    waited.start();
    while (timesSent(mci, command) < wanted && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        bgm.BgmTim_Timer();
        QThread::usleep(500);
    }
    return timesSent(mci, command) >= wanted;
}

// bgm.wav emptied while it plays, then written back: the player reads one line, the loop goes on
// through rounds of silence, the poll's rewinds go on once a round, and the file written back
// plays.
TEST_F(WaveDeviceTest, MusicEmptiedWhilePlayingIsToldOnceAndComesBack) {
    const std::string path = writeWave(dir_, 4000);
    const std::string sound = test_files::readFile(path);
    testing::internal::CaptureStderr();
    bgm_.start(path);
    ASSERT_TRUE(tickUntilSent(mci_, bgm_, "play MIDI from 0", 1));
    test_files::writeFile(path, "");
    EXPECT_TRUE(tickUntilSent(mci_, bgm_, "play MIDI from 0", 3));
    test_files::writeFile(path, sound);
    EXPECT_TRUE(tickUntilSent(mci_, bgm_, "play MIDI from 0", 2));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_TRUE(said.starts_with("sorawata: " + path + ": cannot be played any more (")) << said;
    EXPECT_TRUE(said.ends_with("); the music is silent until it can be\n")) << said;
}

// A damaged MP3 loops with what can be decoded of it; the player reads one line about it, which
// counts what the decoder printed on its own, and nothing else however many rounds it plays.
TEST_F(WaveDeviceTest, DamagedMusicIsToldOnceWithTheDecodersLinesFolded) {
    const std::string path = dir_.path().toStdString() + "/bgm.wav";
    ASSERT_TRUE(music_files::writeDamagedMp3(path));
    testing::internal::CaptureStderr();
    bgm_.start(path);
    EXPECT_TRUE(tickUntilSent(mci_, bgm_, "play MIDI from 0", 3));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_TRUE(
        said.starts_with("sorawata: " + path +
                         ": damaged sound; what can be decoded plays (lines the decoder printed: "))
        << said;
    EXPECT_NE(said.find(", the first: \"Note: Illegal Audio-MPEG-Header"), std::string::npos)
        << said;
}

namespace {

std::string pactl(const QStringList& arguments) {
    QProcess process;
    process.start("pactl", arguments);
    process.waitForFinished(kPatienceMs);
    return process.readAllStandardOutput().toStdString();
}

// `pactl list sink-inputs` once the game's stream is there, or empty when it does not come.
std::string gameStream() {
    QElapsedTimer waited;
    waited.start();
    std::string shown = pactl({"list", "sink-inputs"});
    while (shown.find("Sorawata") == std::string::npos && waited.elapsed() < kPatienceMs) {
        QThread::msleep(20);
        shown = pactl({"list", "sink-inputs"});
    }
    return shown;
}

} // namespace

// The music shows in the desktop's mixer as a game's sound, under the game's name, icon and desktop
// file. A volume and muting set there stay through the loop, and through a restart of the sound
// server, which here has no module that would restore them.
TEST_F(WaveDeviceTest, MixerSettingsStayThroughTheLoopAndAServerRestart) {
    bgm_.start(writeWave(dir_, 4000));
    std::string shown = gameStream();
    for (const char* property :
         {"media.role = \"game\"", "application.name = \"Sorawata\"",
          "application.icon_name = \"sorawata\"", "application.id = \"sorawata\""})
        EXPECT_NE(shown.find(property), std::string::npos) << property << " in\n" << shown;
    const std::size_t number = shown.find("Sink Input #");
    ASSERT_NE(number, std::string::npos) << shown;
    const QString stream = QString::number(std::stoi(shown.substr(number + 12)));
    pactl({"set-sink-input-volume", stream, "40%"});
    pactl({"set-sink-input-mute", stream, "1"});
    const auto keeps40PercentMuted = [](const std::string& list) {
        return list.find(" 40% ") != std::string::npos &&
               list.find("Mute: yes") != std::string::npos;
    };
    EXPECT_TRUE(keeps40PercentMuted(gameStream())) << gameStream();

    ASSERT_TRUE(tickUntilSent(mci_, bgm_, "play MIDI from 0", 2));
    EXPECT_TRUE(keeps40PercentMuted(gameStream())) << "after the loop\n" << gameStream();

    server_->stop();
    EXPECT_EQ(pollUntil(device_, bgm_, "not ready", true), "not ready");
    ASSERT_TRUE(server_->start());
    EXPECT_EQ(pollUntil(device_, bgm_, "playing", true), "playing");
    EXPECT_TRUE(keeps40PercentMuted(gameStream())) << "after the restart\n" << gameStream();
}
