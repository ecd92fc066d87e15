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

// Plays a music file in any format libsndfile reads through the desktop's sound server (PulseAudio,
// or PipeWire's PulseAudio service), on the default output, which the stream follows when the
// desktop changes it. The file is decoded on an audio thread of the device's own, a block at a
// time as the server asks for it; the game's thread only hands over its commands and reads the
// mode. A rewind only moves the reader while the output still holds sound, so a loop joins the end
// to the start without a gap.
//
// The device keeps wanting an output: while there is none (no server yet, or the server went
// away), the mode is "not ready" and the audio thread asks the server again once a second. When
// one is there again the device stands stopped at the start of the file, and the game's loop poll
// plays it from there, at the volume and muting the player last chose in the desktop's mixer.
std::unique_ptr<SoundDevice> makeSoundServerDevice();

// Carries out exactly the commands the game sends, on one sound under the alias MIDI:
//   open "<path>" alias MIDI    close MIDI notify    play MIDI notify
//   status MIDI mode            seek MIDI to start   play MIDI from 0
// The path is everything between the first double quote and the last `" alias MIDI`, quotes and
// any other bytes included. Any other text is an unrecognised command.
class MciCommandInterpreter final : public media::MciInterface {
public:
    using DeviceFactory = std::function<std::unique_ptr<SoundDevice>()>;

    // By default the music goes to the sound server.
    explicit MciCommandInterpreter(DeviceFactory makeDevice = makeSoundServerDevice);

    std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                std::intptr_t callbackWindow) override;

private:
    DeviceFactory makeDevice_;
    std::unique_ptr<SoundDevice> device_; // the one under the alias MIDI, if open
};

} // namespace audio
