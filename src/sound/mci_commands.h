// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "music/mci.h"
#include "sound/sound_device.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

namespace sound {

// Carries out exactly the commands the game sends, on one sound under the alias MIDI:
//   open "<path>" alias MIDI    close MIDI notify    play MIDI notify
//   status MIDI mode            seek MIDI to start   play MIDI from 0
// The path is all between the first quote and the last `" alias MIDI`; other text is unrecognised.
class MciCommandInterpreter final : public music::MciInterface {
public:
    explicit MciCommandInterpreter(std::function<std::unique_ptr<SoundDevice>()> makeDevice)
        : makeDevice_(std::move(makeDevice)) {}

    std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                std::intptr_t callbackWindow) override;

private:
    std::function<std::unique_ptr<SoundDevice>()> makeDevice_;
    std::unique_ptr<SoundDevice> device_; // the one under the alias MIDI, if open
};

} // namespace sound
