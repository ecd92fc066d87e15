// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "music/mci.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace audio {

// "not ready" until opened and while there is no output; "stopped" at the end or after a rewind.
enum class DeviceMode { NotReady, Playing, Stopped };

// One opened sound. Each method returns 0 or an mci_error code.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    // Called once, right after the device is made. May return before the file is read: what is
    // wrong with it is said on stderr, and the device stays "not ready".
    virtual std::int32_t open(const std::string& path) = 0;
    virtual std::int32_t play() = 0;
    // Back to the start of the sound, stopped.
    virtual std::int32_t rewind() = 0;
    // Called a thousand times a second: must not allocate, lock or log.
    virtual DeviceMode mode() const = 0;
};

// Plays music through the sound server (PulseAudio, or PipeWire's) from an audio thread of its own,
// which also opens the file, rewinding while the output still holds sound: no gap. Without an
// output it is "not ready" and asks again once a second, then stands stopped at the start, at the
// mixer's last volume and mute.
std::unique_ptr<SoundDevice> makeSoundServerDevice();

// Carries out exactly the commands the game sends, on one sound under the alias MIDI:
//   open "<path>" alias MIDI    close MIDI notify    play MIDI notify
//   status MIDI mode            seek MIDI to start   play MIDI from 0
// The path is all between the first quote and the last `" alias MIDI`; other text is unrecognised.
class MciCommandInterpreter final : public media::MciInterface {
public:
    explicit MciCommandInterpreter(
        std::function<std::unique_ptr<SoundDevice>()> makeDevice = makeSoundServerDevice)
        : makeDevice_(std::move(makeDevice)) {}

    std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                std::intptr_t callbackWindow) override;

private:
    std::function<std::unique_ptr<SoundDevice>()> makeDevice_;
    std::unique_ptr<SoundDevice> device_; // the one under the alias MIDI, if open
};

} // namespace audio
