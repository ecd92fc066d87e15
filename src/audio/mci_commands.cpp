// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "audio/mci_commands.h"

#include <array>
#include <string_view>

namespace audio {

namespace mci_error = media::mci_error;

namespace {

constexpr std::string_view openStart = "open \"";
constexpr std::string_view openEnd = "\" alias MIDI";

// The mode word and its NUL, only where they fit within the declared length.
std::int32_t writeMode(DeviceMode mode, char* reply, std::uint32_t replyLength) {
    constexpr std::array<std::string_view, 3> words = {"not ready", "playing", "stopped"};
    const std::string_view word = words[static_cast<std::size_t>(mode)];
    if (reply == nullptr || replyLength == 0)
        return 0;
    const bool fits = word.size() < replyLength;
    reply[word.copy(reply, fits ? word.size() : 0)] = '\0';
    return fits ? 0 : mci_error::paramOverflow;
}

} // namespace

std::int32_t MciCommandInterpreter::mciSendStringA(const char* text, char* reply,
                                                   std::uint32_t replyLength,
                                                   std::intptr_t /*callbackWindow*/) {
    const std::string_view command = text == nullptr ? "" : text;
    if (command.size() >= openStart.size() + openEnd.size() && command.starts_with(openStart) &&
        command.ends_with(openEnd)) {
        if (device_)
            return mci_error::deviceOpen;
        // A device that cannot play its file is not kept.
        auto device = makeDevice_();
        const auto path =
            command.substr(openStart.size(), command.size() - openStart.size() - openEnd.size());
        if (const std::int32_t error = device->open(std::string(path)); error != 0)
            return error;
        device_ = std::move(device);
        return 0;
    }
    const bool known = command == "close MIDI notify" || command == "status MIDI mode" ||
                       command == "play MIDI notify" || command == "seek MIDI to start" ||
                       command == "play MIDI from 0";
    if (!known)
        return mci_error::unrecognizedCommand;
    if (!device_)
        return mci_error::invalidDeviceName;
    if (command == "close MIDI notify") {
        device_.reset();
        return 0;
    }
    if (command == "status MIDI mode")
        return writeMode(device_->mode(), reply, replyLength);
    if (command == "play MIDI notify")
        return device_->play();
    const std::int32_t rewound = device_->rewind();
    if (rewound != 0 || command == "seek MIDI to start")
        return rewound;
    return device_->play(); // play MIDI from 0
}

} // namespace audio
