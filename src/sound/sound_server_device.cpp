// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "sound/sound_server_device.h"

#include "common/report.h"
#include "files/asset_file.h"
#include "music/mci.h"
#include "sound/music_reader.h"

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <pulse/pulseaudio.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace sound {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto retryInterval = std::chrono::seconds(1);
// What the server holds ahead of what it plays: enough to ride out a busy machine and the game's
// rewind at the end. A shorter sound is repeated to fill a round, so its loop has that time too.
constexpr std::chrono::microseconds bufferedTime = std::chrono::milliseconds(200);

void release(pa_operation* operation) {
    if (operation != nullptr)
        pa_operation_unref(operation);
}

class SoundServerDevice final : public SoundDevice {
public:
    ~SoundServerDevice() override {
        thread_ = {}; // stopped and joined while the loop and its wake-up are still there
        if (wakeUp_ >= 0)
            close(wakeUp_);
    }

    // Returns at once: the audio thread opens the file, says on stderr what is wrong with it, and
    // only then connects to the sound server. Until it has, the device is "not ready"; a file that
    // cannot be played leaves it so.
    std::int32_t open(const std::string& path) override {
        if (loop_ == nullptr || wakeUp_ < 0)
            return music::mci_error::hardware;
        thread_ = std::jthread([this, path](std::stop_token stop) {
            if (openReader(path, stop))
                run(stop);
        });
        return 0;
    }

    std::int32_t play() override { return command(DeviceMode::Playing); }
    std::int32_t rewind() override { return command(DeviceMode::Stopped); }
    DeviceMode mode() const override { return mode_.load(std::memory_order_relaxed); }

private:
    std::int32_t command(DeviceMode next) {
        const std::lock_guard lock(mutex_);
        if (mode() == DeviceMode::NotReady)
            return music::mci_error::deviceNotReady;
        ++commands_;
        rewindAsked_ = rewindAsked_ || next == DeviceMode::Stopped;
        mode_.store(next, std::memory_order_relaxed);
        wakeAudioThread();
        return 0;
    }

    // Not pa_mainloop_wakeup: the loop's prepare forgets one that came after the last feed looked
    // at the commands (or the loop at the stop), and the poll then waits for ever: the music silent
    // though "playing", or the device's end waiting for the thread. This one stays until the loop
    // dispatches it, which comes before the feed looks again.
    void wakeAudioThread() { eventfd_write(wakeUp_, 1); }

    void listenForWakeUps() {
        pa_mainloop_api* api = pa_mainloop_get_api(loop_.get());
        const auto woken = [](pa_mainloop_api*, pa_io_event*, int descriptor, pa_io_event_flags_t,
                              void*) {
            eventfd_t count = 0;
            eventfd_read(descriptor, &count);
        };
        api->io_new(api, wakeUp_, PA_IO_EVENT_INPUT, woken, nullptr);
    }

    // The output has come or gone: a rewind asked for before does not carry over.
    void setMode(DeviceMode mode) {
        const std::lock_guard lock(mutex_);
        rewindAsked_ = false;
        mode_.store(mode, std::memory_order_relaxed);
    }

    // The name is looked up here so that a missing file is told in the music's words, and so that
    // the reader, which asks at every round whether the file at its name has changed, has the name
    // found.
    bool openReader(const std::string& path, std::stop_token stop) {
        const std::string found = files::findFileIgnoringCase(path);
        std::error_code ignored;
        if (!std::filesystem::exists(found, ignored)) {
            common::reportFileProblem(
                path, QCoreApplication::translate("Music", "file not found").toStdString());
            return false;
        }
        const std::string problem = reader_.open(found, stop);
        if (!problem.empty() && !stop.stop_requested())
            common::reportFileProblem(path, problem + decoderLinesSaid(reader_.libraryMessages()));
        else
            reportDecoderLines();
        return problem.empty();
    }

    void reportDecoderLines() {
        if (reader_.libraryMessages().lines > 0)
            common::reportFileProblem(
                reader_.path(),
                QCoreApplication::translate("Music", "damaged sound; what can be decoded plays")
                        .toStdString() +
                    decoderLinesSaid(reader_.libraryMessages()));
    }

    // The audio thread: a PulseAudio main loop that keeps a stream to the server and fills it.
    void run(std::stop_token stop) {
        listenForWakeUps();
        const std::stop_callback wake(stop, [this] { wakeAudioThread(); });
        connect(PA_CONTEXT_NOFLAGS);
        while (!stop.stop_requested()) {
            const auto untilRetry =
                std::chrono::ceil<std::chrono::microseconds>(retryAt_ - Clock::now()).count();
            const int wait =
                context_ != nullptr ? -1 : static_cast<int>(std::max<long>(untilRetry, 0));
            if (pa_mainloop_prepare(loop_.get(), wait) < 0 || pa_mainloop_poll(loop_.get()) < 0 ||
                pa_mainloop_dispatch(loop_.get()) < 0) {
                lose(QCoreApplication::translate("Music", "the audio thread's main loop failed")
                         .toStdString());
                break;
            }
            afterEvents();
        }
        closeOutput();
    }

    void afterEvents() {
        if (context_ == nullptr) {
            // Only the first attempt may start a server where the desktop starts one on demand.
            if (Clock::now() >= retryAt_)
                connect(PA_CONTEXT_NOAUTOSPAWN);
            return;
        }
        const pa_context_state_t connection = pa_context_get_state(context_);
        if (!PA_CONTEXT_IS_GOOD(connection) ||
            (stream_ != nullptr && !PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))) ||
            (connection == PA_CONTEXT_READY && stream_ == nullptr && !openStream()))
            return lose(pa_strerror(pa_context_errno(context_)));
        // The output is there: the device stands stopped at the start.
        if (mode() == DeviceMode::NotReady && stream_ != nullptr &&
            pa_stream_get_state(stream_) == PA_STREAM_READY) {
            rewindReader();
            setMode(DeviceMode::Stopped);
            followMixer();
            if (std::exchange(reportedGone_, false))
                common::tell(
                    QCoreApplication::translate(
                        "Music", "the music has an audio output now and plays from the start")
                        .toStdString());
        }
        if (mode() != DeviceMode::NotReady)
            feed();
    }

    void connect(pa_context_flags_t flags) {
        context_ = pa_context_new_with_proplist(pa_mainloop_get_api(loop_.get()), "Sorawata",
                                                properties_.get());
        if (context_ == nullptr)
            return lose(
                QCoreApplication::translate("Music", "cannot make a connection to the sound server")
                    .toStdString());
        if (pa_context_connect(context_, nullptr, flags, nullptr) < 0)
            lose(pa_strerror(pa_context_errno(context_)));
    }

    // To the default output, which the server follows. Where no module of the server restores
    // volumes a new stream would start at the default one, so it gets the player's last choice.
    bool openStream() {
        const pa_sample_spec sampleFormat{PA_SAMPLE_FLOAT32NE,
                                          static_cast<std::uint32_t>(reader_.rate()),
                                          static_cast<std::uint8_t>(reader_.channels())};
        pa_channel_map channels;
        pa_channel_map_init_extend(&channels, sampleFormat.channels, PA_CHANNEL_MAP_WAVEEX);
        stream_ = pa_stream_new_with_proplist(context_, "Music", &sampleFormat, &channels,
                                              properties_.get());
        if (stream_ == nullptr)
            return false;
        const auto unset = static_cast<std::uint32_t>(-1);
        const auto ahead =
            static_cast<std::uint32_t>(pa_usec_to_bytes(bufferedTime.count(), &sampleFormat));
        const pa_buffer_attr buffer{unset, ahead, unset, unset, unset};
        const bool chosen = mixerVolume_ && pa_cvolume_compatible(&*mixerVolume_, &sampleFormat);
        const auto muting = !chosen       ? PA_STREAM_NOFLAGS
                            : mixerMuted_ ? PA_STREAM_START_MUTED
                                          : PA_STREAM_START_UNMUTED;
        return pa_stream_connect_playback(stream_, nullptr, &buffer, muting,
                                          chosen ? &*mixerVolume_ : nullptr, nullptr) == 0;
    }

    // Remembers the volume and muting the player sets for the stream in the mixer.
    void followMixer() {
        const auto changed = [](pa_context* context, pa_subscription_event_type_t,
                                std::uint32_t index, void* self) {
            pa_stream* stream = static_cast<SoundServerDevice*>(self)->stream_;
            if (stream == nullptr || index != pa_stream_get_index(stream))
                return;
            const auto remember = [](pa_context*, const pa_sink_input_info* info, int,
                                     void* device) {
                if (info == nullptr)
                    return;
                static_cast<SoundServerDevice*>(device)->mixerVolume_ = info->volume;
                static_cast<SoundServerDevice*>(device)->mixerMuted_ = info->mute != 0;
            };
            release(pa_context_get_sink_input_info(context, index, remember, self));
        };
        pa_context_set_subscribe_callback(context_, changed, this);
        release(pa_context_subscribe(context_, PA_SUBSCRIPTION_MASK_SINK_INPUT, nullptr, nullptr));
    }

    void lose(const std::string& why) {
        if (!std::exchange(reportedGone_, true))
            common::tell(
                mode() != DeviceMode::NotReady
                    ? QCoreApplication::translate(
                          "Music", "the music's audio output was lost (%1); it starts "
                                   "again when the output is back")
                          .arg(QString::fromStdString(why))
                          .toStdString()
                    : QCoreApplication::translate(
                          "Music",
                          "no audio output for the music (%1); it starts when there is one")
                          .arg(QString::fromStdString(why))
                          .toStdString());
        closeOutput();
        setMode(DeviceMode::NotReady);
        retryAt_ = Clock::now() + retryInterval;
    }

    void closeOutput() {
        if (stream_ != nullptr) {
            pa_stream_disconnect(stream_);
            pa_stream_unref(std::exchange(stream_, nullptr));
        }
        if (context_ != nullptr) {
            pa_context_disconnect(context_);
            pa_context_unref(std::exchange(context_, nullptr));
        }
    }

    // The reader rewinds only here, so a rewind at the end follows the last block at once. The end
    // counts only if no command came since this block was asked for: a rewind meanwhile stands.
    void feed() {
        for (std::size_t bytes = 1; bytes != 0;) {
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
            bytes = reader_.read(static_cast<std::byte*>(buffer), room);
            if (bytes == 0)
                pa_stream_cancel_write(stream_);
            else
                pa_stream_write(stream_, buffer, bytes, nullptr, 0, PA_SEEK_RELATIVE);
            if (reader_.atEnd()) {
                reportDecoderLines();
                lock.lock();
                if (commandsSeen == commands_ && mode() == DeviceMode::Playing)
                    mode_.store(DeviceMode::Stopped, std::memory_order_relaxed);
                // A sound shorter than the server's buffer plays without waiting for it to fill.
                release(pa_stream_trigger(stream_, nullptr, nullptr));
            }
        }
    }

    // A file that cannot be read any more is told once; rounds are silent until it can be again.
    void rewindReader() {
        if (const std::string problem = reader_.rewind(); !problem.empty())
            common::reportFileProblem(
                reader_.path(),
                QCoreApplication::translate(
                    "Music", "cannot be played any more (%1); the music is silent until it can be")
                    .arg(QString::fromStdString(problem))
                    .toStdString());
    }

    // Shared by both threads: the mode, which the poll reads unlocked, the rest under mutex_.
    std::atomic<DeviceMode> mode_{DeviceMode::NotReady};
    std::mutex mutex_;
    bool rewindAsked_ = false;
    std::uint64_t commands_ = 0; // play and rewind commands so far

    // How mixers show the music: as a game's sound (the role "music" would share its remembered
    // volume, and its pausing for calls, with music players), under the game's name and icon.
    const std::unique_ptr<pa_proplist, decltype(&pa_proplist_free)> properties_{
        pa_proplist_from_string(
            "media.role = \"game\" application.name = \"Sorawata\" "
            "application.icon_name = \"sorawata\" application.id = \"sorawata\""),
        pa_proplist_free};

    // The audio thread's own.
    MusicReader reader_{bufferedTime, mostBytesHeldWhole};
    const std::unique_ptr<pa_mainloop, decltype(&pa_mainloop_free)> loop_{pa_mainloop_new(),
                                                                          pa_mainloop_free};
    const int wakeUp_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); // see wakeAudioThread
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    std::optional<pa_cvolume> mixerVolume_; // the player's choice, for the next connection's stream
    bool mixerMuted_ = false;
    bool reportedGone_ = false; // the player was told the output is missing or lost
    Clock::time_point retryAt_;
    std::jthread thread_; // last: stopped and joined before the rest goes
};

} // namespace

std::unique_ptr<SoundDevice> makeSoundServerDevice() {
    return std::make_unique<SoundServerDevice>();
}

} // namespace sound
