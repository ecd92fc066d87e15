// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "audio/mci_commands.h"
#include "audio/music_reader.h"
#include "common/report.h"
#include "files/asset_file.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <mutex>
#include <optional>
#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>
#include <pulse/subscribe.h>
#include <thread>
#include <utility>

namespace audio {
namespace {

namespace mci_error = media::mci_error;
using common::reportFileProblem;
using common::tell;
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

void release(pa_operation* operation) {
    if (operation != nullptr)
        pa_operation_unref(operation);
}

class SoundServerDevice final : public SoundDevice {
public:
    ~SoundServerDevice() override {
        if (thread_.joinable()) {
            quitting_.store(true);
            pa_mainloop_wakeup(loop_);
            thread_.join();
        }
        if (loop_ != nullptr)
            pa_mainloop_free(loop_);
    }

    // The file is read before the sound server is asked for an output. With no output the open
    // still succeeds: the device waits for one, not ready.
    std::int32_t open(const std::string& path) override {
        std::error_code ignored;
        if (!std::filesystem::exists(files::findFileIgnoringCase(path), ignored)) {
            reportFileProblem(path, "file not found");
            return mci_error::fileNotFound;
        }
        if (const std::string problem = reader_.open(path); !problem.empty()) {
            reportFileProblem(path, problem);
            return mci_error::invalidFile;
        }
        path_ = path;
        spec_ = {PA_SAMPLE_FLOAT32NE, static_cast<std::uint32_t>(reader_.rate()),
                 static_cast<std::uint8_t>(reader_.channels())};
        loop_ = pa_mainloop_new();
        if (loop_ == nullptr)
            return mci_error::hardware;
        std::future<void> answered = firstAnswer_.get_future();
        thread_ = std::thread([this] { run(); });
        answered.wait_for(firstAnswerWait);
        return 0;
    }

    std::int32_t play() override { return command(DeviceMode::Playing); }
    std::int32_t rewind() override { return command(DeviceMode::Stopped); }
    DeviceMode mode() const override { return mode_.load(std::memory_order_relaxed); }

private:
    // Play or rewind, handed to the audio thread, which looks at it at once.
    std::int32_t command(DeviceMode next) {
        {
            const std::lock_guard lock(mutex_);
            if (mode() == DeviceMode::NotReady)
                return mci_error::deviceNotReady;
            ++commands_;
            rewindAsked_ = rewindAsked_ || next == DeviceMode::Stopped;
            mode_.store(next, std::memory_order_relaxed);
        }
        pa_mainloop_wakeup(loop_);
        return 0;
    }

    // The output has come (stopped at the start) or gone (not ready): a rewind the game asked for
    // before does not carry over.
    void setMode(DeviceMode mode) {
        const std::lock_guard lock(mutex_);
        rewindAsked_ = false;
        mode_.store(mode, std::memory_order_relaxed);
    }

    // --- The audio thread: a PulseAudio main loop that keeps a stream to the sound server and
    // fills it from the reader as the server asks, while the game has the music playing.

    void run() {
        connect();
        while (!quitting_.load()) {
            // Without a connection the loop sleeps until the next attempt.
            const auto untilRetry =
                std::chrono::ceil<std::chrono::microseconds>(retryAt_ - Clock::now()).count();
            const int wait =
                context_ != nullptr ? -1 : static_cast<int>(std::max<long>(untilRetry, 0));
            if (pa_mainloop_prepare(loop_, wait) < 0 || pa_mainloop_poll(loop_) < 0 ||
                pa_mainloop_dispatch(loop_) < 0) {
                lose("the audio thread's main loop failed");
                break;
            }
            afterEvents();
        }
        closeOutput();
    }

    // Follows the connection and the stream through their states after each round of events.
    void afterEvents() {
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
        if (mode() == DeviceMode::NotReady && stream_ != nullptr &&
            pa_stream_get_state(stream_) == PA_STREAM_READY)
            beginPlaying();
        if (mode() != DeviceMode::NotReady)
            feed();
    }

    void connect() {
        context_ =
            pa_context_new_with_proplist(pa_mainloop_get_api(loop_), "Sorawata", properties_.get());
        if (context_ == nullptr)
            return lose("cannot make a connection to the sound server");
        // Only the first attempt may start a sound server where the desktop starts one on demand;
        // the retries only look for one.
        const auto flags = firstAttempt_ ? PA_CONTEXT_NOFLAGS : PA_CONTEXT_NOAUTOSPAWN;
        firstAttempt_ = false;
        if (pa_context_connect(context_, nullptr, flags, nullptr) < 0)
            lose(pa_strerror(pa_context_errno(context_)));
    }

    // A stream to the default output, which the server moves when the desktop picks another. Its
    // channels sit in the order of a WAV file, and the server mixes them to the output's. Where
    // no module of the server restores volumes, a new stream would start at the default volume:
    // the device gives it the player's last choice itself.
    bool openStream() {
        pa_channel_map channels;
        pa_channel_map_init_extend(&channels, spec_.channels, PA_CHANNEL_MAP_WAVEEX);
        stream_ =
            pa_stream_new_with_proplist(context_, "Music", &spec_, &channels, properties_.get());
        if (stream_ == nullptr)
            return false;
        const auto unset = static_cast<std::uint32_t>(-1);
        const pa_buffer_attr buffer{
            unset, static_cast<std::uint32_t>(pa_usec_to_bytes(bufferedTime.count(), &spec_)),
            unset, unset, unset};
        const bool chosen = mixerChoice_ && pa_cvolume_compatible(&mixerChoice_->volume, &spec_);
        const auto muting = !chosen               ? PA_STREAM_NOFLAGS
                            : mixerChoice_->muted ? PA_STREAM_START_MUTED
                                                  : PA_STREAM_START_UNMUTED;
        return pa_stream_connect_playback(stream_, nullptr, &buffer, muting,
                                          chosen ? &mixerChoice_->volume : nullptr, nullptr) == 0;
    }

    // The output is there: the device stands stopped at the start of the file.
    void beginPlaying() {
        rewindReader();
        setMode(DeviceMode::Stopped);
        followMixer();
        if (std::exchange(reportedGone_, false))
            tell("the music has an audio output now and plays from the start");
        answer();
    }

    // Remembers the volume and muting the player sets for the stream in the desktop's mixer.
    void followMixer() {
        const auto changed = [](pa_context* context, pa_subscription_event_type_t,
                                std::uint32_t index, void* self) {
            pa_stream* stream = static_cast<SoundServerDevice*>(self)->stream_;
            if (stream == nullptr || index != pa_stream_get_index(stream))
                return;
            const auto remember = [](pa_context*, const pa_sink_input_info* info, int,
                                     void* device) {
                if (info != nullptr)
                    static_cast<SoundServerDevice*>(device)->mixerChoice_ =
                        MixerChoice{info->volume, info->mute != 0};
            };
            release(pa_context_get_sink_input_info(context, index, remember, self));
        };
        pa_context_set_subscribe_callback(context_, changed, this);
        release(pa_context_subscribe(context_, PA_SUBSCRIPTION_MASK_SINK_INPUT, nullptr, nullptr));
    }

    // No output, or not any more: the player is told once, and the next attempt comes in a
    // second.
    void lose(const std::string& why) {
        if (!std::exchange(reportedGone_, true))
            tell(mode() != DeviceMode::NotReady
                     ? "the music's audio output was lost (" + why +
                           "); it starts again when the output is back"
                     : "no audio output for the music (" + why + "); it starts when there is one");
        closeOutput();
        setMode(DeviceMode::NotReady);
        retryAt_ = Clock::now() + retryInterval;
        answer();
    }

    void closeOutput() {
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
    }

    // Hands the server as much sound as it has room for, while the game has it playing. The reader
    // goes back to the start only now, so a rewind at the end follows the last block at once. The
    // end of the sound counts only if the game sent no command since this block was asked for: a
    // rewind that came meanwhile stands.
    void feed() {
        while (true) {
            std::unique_lock lock(mutex_);
            const bool rewind = std::exchange(rewindAsked_, false);
            const bool playing = mode() == DeviceMode::Playing;
            const std::uint64_t commandsSeen = commands_;
            lock.unlock();
            if (rewind)
                rewindReader();
            std::size_t room = pa_stream_writable_size(stream_);
            void* buffer = nullptr;
            if (!playing || room == 0 || room == static_cast<std::size_t>(-1) ||
                pa_stream_begin_write(stream_, &buffer, &room) < 0)
                return;
            const std::size_t bytes = reader_.read(static_cast<std::byte*>(buffer), room);
            if (bytes == 0)
                pa_stream_cancel_write(stream_);
            else
                pa_stream_write(stream_, buffer, bytes, nullptr, 0, PA_SEEK_RELATIVE);
            if (reader_.atEnd()) {
                lock.lock();
                if (commandsSeen == commands_ && mode() == DeviceMode::Playing)
                    mode_.store(DeviceMode::Stopped, std::memory_order_relaxed);
                lock.unlock();
                // A sound shorter than the server's buffer plays without waiting for it to fill.
                release(pa_stream_trigger(stream_, nullptr, nullptr));
            }
            if (bytes == 0)
                return;
        }
    }

    // Back to the start of the file as it is now. One that cannot be read is told once; the reader
    // then plays a round of silence, and the next rewind tries the file again.
    void rewindReader() {
        if (const std::string problem = reader_.rewind(); !problem.empty())
            reportFileProblem(path_, "cannot be played any more (" + problem +
                                         "); the music is silent until it can be");
    }

    void answer() {
        if (!std::exchange(answered_, true))
            firstAnswer_.set_value();
    }

    struct MixerChoice {
        pa_cvolume volume;
        bool muted;
    };

    // Shared by the two threads: the mode, which the poll reads alone, and under mutex_ the rest.
    std::atomic<DeviceMode> mode_{DeviceMode::NotReady};
    std::mutex mutex_;
    bool rewindAsked_ = false;
    std::uint64_t commands_ = 0; // play and rewind commands so far

    // How desktops' mixers show and sort the music, for the connection and its stream alike: as a
    // game's sound (the role "music" would share its remembered volume, and its pausing for calls,
    // with music players), under the game's name, icon and desktop file.
    const std::unique_ptr<pa_proplist, decltype(&pa_proplist_free)> properties_{
        pa_proplist_from_string(
            "media.role = \"game\" application.name = \"Sorawata\" "
            "application.icon_name = \"sorawata\" application.id = \"sorawata\""),
        pa_proplist_free};

    // The audio thread's own once it runs.
    std::string path_;
    MusicReader reader_{bufferedTime};
    pa_sample_spec spec_{};
    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    std::optional<MixerChoice> mixerChoice_; // for the stream the next connection makes
    bool firstAttempt_ = true;               // no output asked for yet
    bool reportedGone_ = false;              // the player was told the output is missing or lost
    Clock::time_point retryAt_;
    std::promise<void> firstAnswer_;
    bool answered_ = false;
    std::atomic<bool> quitting_{false};
    std::thread thread_;
};

} // namespace

std::unique_ptr<SoundDevice> makeSoundServerDevice() {
    return std::make_unique<SoundServerDevice>();
}

} // namespace audio
