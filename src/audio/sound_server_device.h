// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "audio/mci_commands.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace audio {

// The commands for one sound, on their way from the game's thread to the audio thread. The mode is
// read without the lock; everything else is handed over under it, held for a few assignments.
class Transport {
public:
    DeviceMode mode() const { return mode_.load(std::memory_order_relaxed); }

    // From the game's thread: 0 or an mci_error code.
    std::int32_t play();
    std::int32_t rewind();

    // What the audio thread is to do next: whether the game rewound since it last looked, and
    // whether to play; `generation` counts the commands so far.
    struct Orders {
        bool rewind = false;
        bool playing = false;
        std::uint64_t generation = 0;
    };
    Orders take();
    // The sound ran out while playing the orders of `generation`: "stopped", unless the game has
    // sent a command since, which then stands.
    void reachedEnd(std::uint64_t generation);
    // The output has come (stopped at the start) or gone (not ready): a rewind the game asked for
    // before does not carry over.
    void setMode(DeviceMode mode);

private:
    std::mutex mutex_;
    std::atomic<DeviceMode> mode_{DeviceMode::NotReady};
    bool rewind_ = false;
    std::uint64_t generation_ = 0;
};

// Plays a music file through the sound server (PulseAudio, or PipeWire's PulseAudio service) on
// the default output, which the stream follows when the desktop changes it. The file is decoded on
// an audio thread of its own, a block at a time as the server asks for it; the game's thread only
// hands over commands and reads the mode. A rewind only moves the reader while the output still
// holds sound, so a loop joins the end to the start without a gap.
//
// The device keeps wanting an output: while there is none (no server yet, or the server went
// away), the mode is "not ready" and the audio thread asks the server again once a second. When
// one is there again the device stands stopped at the start of the file, and the game's loop poll
// plays it from there.
class SoundServerDevice final : public SoundDevice {
public:
    SoundServerDevice();
    ~SoundServerDevice() override;

    std::int32_t open(const std::string& path) override;
    std::int32_t play() override;
    std::int32_t rewind() override;
    DeviceMode mode() const override { return transport_.mode(); }

private:
    class Output; // the reader, the connection to the sound server and the audio thread

    Transport transport_;
    std::unique_ptr<Output> output_;
};

} // namespace audio
