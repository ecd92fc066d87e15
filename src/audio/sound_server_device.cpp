// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "audio/sound_server_device.h"

#include "audio/music_reader.h"
#include "common/report.h"
#include "files/asset_path.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>
#include <string>
#include <thread>
#include <utility>

namespace audio {

namespace mci_error = media::mci_error;
using common::reportFileProblem;
using common::tell;

// --- Transport -----------------------------------------------------------------------------------

std::int32_t Transport::play() {
    const std::lock_guard lock(mutex_);
    if (mode() == DeviceMode::NotReady)
        return mci_error::deviceNotReady;
    ++generation_;
    mode_.store(DeviceMode::Playing, std::memory_order_relaxed);
    return 0;
}

std::int32_t Transport::rewind() {
    const std::lock_guard lock(mutex_);
    if (mode() == DeviceMode::NotReady)
        return mci_error::deviceNotReady;
    ++generation_;
    rewind_ = true;
    mode_.store(DeviceMode::Stopped, std::memory_order_relaxed);
    return 0;
}

Transport::Orders Transport::take() {
    const std::lock_guard lock(mutex_);
    return {std::exchange(rewind_, false), mode() == DeviceMode::Playing, generation_};
}

void Transport::reachedEnd(std::uint64_t generation) {
    const std::lock_guard lock(mutex_);
    if (generation == generation_ && mode() == DeviceMode::Playing)
        mode_.store(DeviceMode::Stopped, std::memory_order_relaxed);
}

void Transport::setMode(DeviceMode mode) {
    const std::lock_guard lock(mutex_);
    rewind_ = false;
    mode_.store(mode, std::memory_order_relaxed);
}

// --- Output --------------------------------------------------------------------------------------

namespace {

using Clock = std::chrono::steady_clock;

// How long the open waits for the sound server's first answer. A server that takes longer only
// delays the music: the game goes on, and the music starts once the answer comes.
constexpr auto firstAnswerWait = std::chrono::seconds(1);
// How often the audio thread asks for an output again while it has none.
constexpr auto retryInterval = std::chrono::seconds(1);
// The sound the server holds ahead of what it plays: enough to ride out a busy moment of the
// machine, and the game's rewind at the end of the music. A shorter sound is repeated to last as
// long in one round of play, so that its loop too has the time of a round to come back.
constexpr std::chrono::microseconds bufferedTime = std::chrono::milliseconds(200);

pa_sample_spec sampleSpecOf(const MusicReader& reader) {
    return {reader.sampleType() == SampleType::Int16 ? PA_SAMPLE_S16NE : PA_SAMPLE_FLOAT32NE,
            static_cast<std::uint32_t>(reader.rate()),
            static_cast<std::uint8_t>(reader.channels())};
}

} // namespace

// The audio thread: a PulseAudio main loop that keeps a stream to the sound server and fills it
// from the reader as the server asks, while the game has the sound playing.
class SoundServerDevice::Output {
public:
    explicit Output(Transport& transport) : transport_(transport), loop_(pa_mainloop_new()) {}
    ~Output();

    // Reads the file's header and settles the stream's format.
    std::int32_t openFile(const std::string& path);
    // Starts the audio thread and waits a moment for the sound server's first answer.
    std::int32_t start();
    // The game has sent a command: the audio thread looks at it now.
    void wake() { pa_mainloop_wakeup(loop_); }

private:
    void run();
    int waitMicroseconds() const;
    void afterEvents();
    void connect();
    bool openStream();
    void beginPlaying();
    void lose(const std::string& why);
    void closeOutput();
    void feed();
    void rewindReader();
    void answer();

    Transport& transport_;
    std::string path_;
    MusicReader reader_{bufferedTime};
    pa_sample_spec spec_{};
    pa_mainloop* loop_;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    bool ready_ = false;        // the stream is there and the game can play
    bool firstAttempt_ = true;  // no output asked for yet
    bool reportedGone_ = false; // the player was told the output is missing or lost
    Clock::time_point retryAt_;
    std::promise<void> firstAnswer_;
    bool answered_ = false;
    std::atomic<bool> quitting_{false};
    std::thread thread_;
};

SoundServerDevice::Output::~Output() {
    if (thread_.joinable()) {
        quitting_.store(true);
        wake();
        thread_.join();
    }
    if (loop_ != nullptr)
        pa_mainloop_free(loop_);
}

std::int32_t SoundServerDevice::Output::openFile(const std::string& path) {
    path_ = path;
    if (const std::string problem = reader_.open(path); !problem.empty()) {
        reportFileProblem(path, problem);
        return mci_error::invalidFile;
    }
    spec_ = sampleSpecOf(reader_);
    if (!pa_sample_spec_valid(&spec_) || spec_.rate > PA_RATE_MAX) {
        reportFileProblem(path, std::to_string(spec_.rate) + " samples a second, more than the " +
                                    std::to_string(PA_RATE_MAX) + " the sound server takes");
        return mci_error::invalidFile;
    }
    return 0;
}

std::int32_t SoundServerDevice::Output::start() {
    if (loop_ == nullptr)
        return mci_error::hardware;
    std::future<void> answered = firstAnswer_.get_future();
    thread_ = std::thread([this] { run(); });
    answered.wait_for(firstAnswerWait);
    return 0;
}

void SoundServerDevice::Output::run() {
    connect();
    while (!quitting_.load()) {
        if (pa_mainloop_prepare(loop_, waitMicroseconds()) < 0 || pa_mainloop_poll(loop_) < 0 ||
            pa_mainloop_dispatch(loop_) < 0) {
            lose("the audio thread's main loop failed");
            break;
        }
        afterEvents();
    }
    closeOutput();
}

// Without a connection the loop sleeps until the next attempt; otherwise it waits for the server.
int SoundServerDevice::Output::waitMicroseconds() const {
    if (context_ != nullptr)
        return -1;
    const auto left = std::chrono::ceil<std::chrono::microseconds>(retryAt_ - Clock::now());
    return static_cast<int>(std::max<std::int64_t>(left.count(), 0));
}

// Follows the connection and the stream through their states after each round of events.
void SoundServerDevice::Output::afterEvents() {
    if (context_ == nullptr) {
        if (Clock::now() >= retryAt_)
            connect();
        return;
    }
    const pa_context_state_t connection = pa_context_get_state(context_);
    if (!PA_CONTEXT_IS_GOOD(connection) ||
        (stream_ != nullptr && !PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))))
        return lose(pa_strerror(pa_context_errno(context_)));
    if (connection == PA_CONTEXT_READY && stream_ == nullptr && !openStream())
        return lose(pa_strerror(pa_context_errno(context_)));
    if (!ready_ && stream_ != nullptr && pa_stream_get_state(stream_) == PA_STREAM_READY)
        beginPlaying();
    if (ready_)
        feed();
}

void SoundServerDevice::Output::connect() {
    context_ = pa_context_new(pa_mainloop_get_api(loop_), "Sorawata");
    if (context_ == nullptr)
        return lose("cannot make a connection to the sound server");
    // Only the first attempt may start a sound server where the desktop starts one on demand;
    // the retries only look for one.
    const auto flags = firstAttempt_ ? PA_CONTEXT_NOFLAGS : PA_CONTEXT_NOAUTOSPAWN;
    firstAttempt_ = false;
    if (pa_context_connect(context_, nullptr, flags, nullptr) < 0)
        lose(pa_strerror(pa_context_errno(context_)));
}

// A stream to the default output, which the server moves when the desktop picks another.
bool SoundServerDevice::Output::openStream() {
    stream_ = pa_stream_new(context_, "Music", &spec_, nullptr);
    if (stream_ == nullptr)
        return false;
    const auto unset = static_cast<std::uint32_t>(-1);
    const pa_buffer_attr buffer{
        unset, static_cast<std::uint32_t>(pa_usec_to_bytes(bufferedTime.count(), &spec_)), unset,
        unset, unset};
    return pa_stream_connect_playback(stream_, nullptr, &buffer, PA_STREAM_NOFLAGS, nullptr,
                                      nullptr) == 0;
}

// The output is there: the device stands stopped at the start of the file.
void SoundServerDevice::Output::beginPlaying() {
    rewindReader();
    transport_.setMode(DeviceMode::Stopped);
    ready_ = true;
    if (reportedGone_)
        tell("the music has an audio output now and plays from the start");
    reportedGone_ = false;
    answer();
}

// No output, or not any more: the player is told once, and the next attempt comes in a
// second.
void SoundServerDevice::Output::lose(const std::string& why) {
    if (!reportedGone_)
        tell(ready_ ? "the music's audio output was lost (" + why +
                          "); it starts again when the output is back"
                    : "no audio output for the music (" + why + "); it starts when there is one");
    reportedGone_ = true;
    closeOutput();
    transport_.setMode(DeviceMode::NotReady);
    retryAt_ = Clock::now() + retryInterval;
    answer();
}

void SoundServerDevice::Output::closeOutput() {
    if (stream_ != nullptr) {
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }
    if (context_ != nullptr) {
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    ready_ = false;
}

// Hands the server as much sound as it has room for, while the game has it playing. The reader
// goes back to the start only now, so a rewind at the end follows the last block at once.
void SoundServerDevice::Output::feed() {
    while (true) {
        const Transport::Orders orders = transport_.take();
        if (orders.rewind)
            rewindReader();
        std::size_t room = pa_stream_writable_size(stream_);
        void* buffer = nullptr;
        if (!orders.playing || room == 0 || room == static_cast<std::size_t>(-1) ||
            pa_stream_begin_write(stream_, &buffer, &room) < 0)
            return;
        const std::size_t bytes = reader_.read(static_cast<std::byte*>(buffer), room);
        if (bytes == 0) {
            pa_stream_cancel_write(stream_);
        } else {
            pa_stream_write(stream_, buffer, bytes, nullptr, 0, PA_SEEK_RELATIVE);
        }
        if (reader_.atEnd()) {
            transport_.reachedEnd(orders.generation);
            // A sound shorter than the server's buffer plays without waiting for it to fill.
            if (pa_operation* trigger = pa_stream_trigger(stream_, nullptr, nullptr))
                pa_operation_unref(trigger);
        }
        if (bytes == 0)
            return;
    }
}

// Back to the start of the file as it is now. One that cannot be read is told once; the reader
// then plays a round of silence, and the next rewind tries the file again.
void SoundServerDevice::Output::rewindReader() {
    if (const std::string problem = reader_.rewind(); !problem.empty())
        reportFileProblem(path_, "cannot be played any more (" + problem +
                                     "); the music is silent until it can be");
}

void SoundServerDevice::Output::answer() {
    if (!answered_)
        firstAnswer_.set_value();
    answered_ = true;
}

// --- SoundServerDevice
// ----------------------------------------------------------------------------------

SoundServerDevice::SoundServerDevice() = default;

SoundServerDevice::~SoundServerDevice() = default;

// The file is read before the sound server is asked for an output. With no output the open still
// succeeds: the device waits for one, not ready.
std::int32_t SoundServerDevice::open(const std::string& path) {
    std::error_code ignored;
    if (!std::filesystem::exists(files::findFileIgnoringCase(path), ignored)) {
        reportFileProblem(path, "file not found");
        return mci_error::fileNotFound;
    }
    auto output = std::make_unique<Output>(transport_);
    if (const auto error = output->openFile(path); error != 0)
        return error;
    if (const auto error = output->start(); error != 0)
        return error;
    output_ = std::move(output);
    return 0;
}

std::int32_t SoundServerDevice::play() {
    if (const auto error = transport_.play(); error != 0)
        return error;
    output_->wake();
    return 0;
}

std::int32_t SoundServerDevice::rewind() {
    return transport_.rewind();
}

} // namespace audio
