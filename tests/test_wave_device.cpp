#include "media/bgm.h"
#include "music_files.h"
#include "platform/mci.h"
#include "platform/wave_device.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <array>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// A private PulseAudio server with one null sink, so the real audio output can
// be exercised on machines without sound hardware or a running server.
class PulseServer {
public:
    bool start() {
        if (!runtime_.isValid())
            return false;
        const QString socket = runtime_.path() + "/native";
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime_.path());
        environment.insert("HOME", runtime_.path());
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start("pulseaudio",
                       {"--daemonize=no", "--exit-idle-time=-1", "--system=false", "-n",
                        "--use-pid-file=false", "--log-level=0", "-L",
                        "module-null-sink sink_name=test_sink", "-L",
                        "module-native-protocol-unix auth-anonymous=1 socket=" + socket});
        if (!process_.waitForStarted(5000))
            return false;
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo::exists(socket) && waited.elapsed() < 5000)
            QThread::msleep(20);
        setenv("PULSE_SERVER", ("unix:" + socket).toUtf8().constData(), 1);
        return QFileInfo::exists(socket);
    }

    void stop() {
        process_.kill();
        process_.waitForFinished(5000);
    }

    ~PulseServer() { stop(); }

private:
    QTemporaryDir runtime_;
    QProcess process_;
};

std::string writeWave(const QTemporaryDir& dir, int frames) {
    const std::string path = dir.path().toStdString() + "/bgm with spaces.wav";
    EXPECT_TRUE(music_files::writeShortWave(path, frames));
    return path;
}

std::string mode(platform::MciInterface& mci) {
    std::array<char, 16> reply{};
    if (mci.mciSendStringA("status MIDI mode", reply.data(), 15, 0) != 0)
        return "<error>";
    return reply.data();
}

// Runs the event loop, ticking the music poll every millisecond, until the
// mode is `wanted` or a few seconds have passed; returns the last mode seen.
std::string pollUntil(platform::MciInterface& mci, media::Bgm& bgm, const std::string& wanted,
                      bool tick) {
    QElapsedTimer waited;
    waited.start();
    std::string seen = mode(mci);
    while (seen != wanted && waited.elapsed() < 5000) {
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
    static void SetUpTestSuite() {
        server_ = new PulseServer;
        started_ = server_->start();
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        if (!started_)
            GTEST_SKIP() << "pulseaudio could not be started here";
    }

    static PulseServer* server_;
    static bool started_;
    QTemporaryDir dir_;
    platform::MciCommandInterpreter mci_;
    media::Bgm bgm_{mci_};
};

PulseServer* WaveDeviceTest::server_ = nullptr;
bool WaveDeviceTest::started_ = false;

} // namespace

// After the open the device is stopped at the start; play makes it play.
TEST_F(WaveDeviceTest, OpenThenPlay) {
    bgm_.BgmLoop = -1;
    bgm_.BgmOpen(writeWave(dir_, 8000));
    ASSERT_EQ(bgm_.MciResult, 0);
    EXPECT_EQ(mode(mci_), "stopped");
    bgm_.BgmPlay();
    EXPECT_EQ(bgm_.MciResult, 0);
    EXPECT_EQ(mode(mci_), "playing");
}

// A short sound reports stopped once fed out, and the poll's rewind plays it again.
TEST_F(WaveDeviceTest, EndIsReportedAndTheRewindPlaysAgain) {
    bgm_.BgmLoop = -1;
    bgm_.BgmOpen(writeWave(dir_, 400));
    bgm_.BgmPlay();
    ASSERT_EQ(bgm_.MciResult, 0);
    EXPECT_EQ(pollUntil(mci_, bgm_, "stopped", false), "stopped");
    bgm_.BgmTim_Timer();
    EXPECT_EQ(bgm_.MciResult, 0);
    EXPECT_EQ(mode(mci_), "playing");
    EXPECT_EQ(pollUntil(mci_, bgm_, "stopped", false), "stopped") << "the second round ends too";
}

// The sound server going away mid-play crashes nothing and leaves no rewind loop.
TEST_F(WaveDeviceTest, ZzServerGoingAwayIsQuiet) {
    bgm_.BgmLoop = -1;
    bgm_.BgmOpen(writeWave(dir_, 80000));
    bgm_.BgmPlay();
    ASSERT_EQ(bgm_.MciResult, 0);
    server_->stop();
    started_ = false;
    EXPECT_EQ(pollUntil(mci_, bgm_, "not ready", true), "not ready");
    bgm_.MciResult = 0;
    bgm_.BgmTim_Timer();
    EXPECT_EQ(bgm_.MciResult, 0) << "no rewind is sent";
}

// The audio thread's "the sound has ended" counts only if the game sent nothing since it took its
// orders: a rewind that came meanwhile stands, and is carried out once.
TEST(Transport, EndOnlyStopsWhatNoNewerCommandReplaced) {
    using platform::DeviceMode;
    platform::Transport transport;
    EXPECT_EQ(transport.play(), platform::mci_error::deviceNotReady);
    transport.setMode(DeviceMode::Stopped);
    ASSERT_EQ(transport.play(), 0);

    auto orders = transport.take();
    EXPECT_TRUE(orders.playing);
    EXPECT_FALSE(orders.seekMilliseconds);
    transport.reachedEnd(orders.generation);
    EXPECT_EQ(transport.mode(), DeviceMode::Stopped);

    ASSERT_EQ(transport.play(), 0);
    orders = transport.take();
    ASSERT_EQ(transport.seek(0), 0); // the game's rewind, while the last block is being read
    ASSERT_EQ(transport.play(), 0);
    transport.reachedEnd(orders.generation);
    EXPECT_EQ(transport.mode(), DeviceMode::Playing);
    orders = transport.take();
    EXPECT_EQ(orders.seekMilliseconds, 0);
    EXPECT_TRUE(orders.playing);
    EXPECT_FALSE(transport.take().seekMilliseconds) << "the rewind is handed over once";
}
