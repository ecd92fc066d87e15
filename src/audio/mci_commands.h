// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "media/mci.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace audio {

// "not ready" before a successful open or while there is no audio output,
// "stopped" at the end of the sound or after a rewind, "playing" otherwise.
enum class DeviceMode { NotReady, Playing, Stopped };

// One opened sound, driven by the command interpreter. Each method returns
// 0 or an mci_error code.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    // Called once, right after the device is made. Says on stderr what is wrong with a file it
    // cannot play.
    virtual std::int32_t open(const std::string& path) = 0;
    virtual std::int32_t play() = 0;
    // Back to the start of the sound, stopped.
    virtual std::int32_t rewind() = 0;
    // Called a thousand times a second: must not allocate, lock or log.
    virtual DeviceMode mode() const = 0;
};

using SoundDeviceFactory = std::function<std::unique_ptr<SoundDevice>()>;

// Carries out exactly the commands the game sends, on one sound under the alias MIDI:
//   open "<path>" alias MIDI    close MIDI notify    play MIDI notify
//   status MIDI mode            seek MIDI to start   play MIDI from 0
// The path is everything between the first double quote and the last `" alias MIDI`, quotes and
// any other bytes included. Any other text is an unrecognised command.
class MciCommandInterpreter final : public media::MciInterface {
public:
    // Plays the music through the system's default audio output.
    MciCommandInterpreter();
    explicit MciCommandInterpreter(SoundDeviceFactory makeDevice);
    ~MciCommandInterpreter() override;

    std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                std::intptr_t callbackWindow) override;

private:
    std::int32_t open(const std::string& path);
    std::int32_t status(char* reply, std::uint32_t replyLength) const;

    SoundDeviceFactory makeDevice_;
    std::unique_ptr<SoundDevice> device_; // the one under the alias MIDI, if open
};

} // namespace audio
