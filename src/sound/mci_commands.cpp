// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "sound/mci_commands.h"

#include <array>
#include <string_view>

namespace sound {

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
    return fits ? 0 : music::mci_error::paramOverflow;
}

} // namespace

std::int32_t MciCommandInterpreter::mciSendStringA(const char* text, char* reply,
                                                   std::uint32_t replyLength,
                                                   std::intptr_t /*callbackWindow*/) {
    const std::string_view command = text == nullptr ? "" : text;
    if (command.size() >= openStart.size() + openEnd.size() && command.starts_with(openStart) &&
        command.ends_with(openEnd)) {
        if (device_)
            return music::mci_error::deviceOpen;
        const auto path =
            command.substr(openStart.size(), command.size() - openStart.size() - openEnd.size());
        device_ = makeDevice_();
        const std::int32_t error = device_->open(std::string(path));
        if (error != 0)
            device_.reset(); // a device that cannot play its file is not kept
        return error;
    }
    const bool known = command == "close MIDI notify" || command == "status MIDI mode" ||
                       command == "play MIDI notify" || command == "seek MIDI to start" ||
                       command == "play MIDI from 0";
    if (!known)
        return music::mci_error::unrecognizedCommand;
    if (!device_)
        return music::mci_error::invalidDeviceName;
    if (command == "close MIDI notify") {
        device_.reset();
        return 0;
    }
    if (command == "status MIDI mode")
        return writeMode(device_->mode(), reply, replyLength);
    if (command == "play MIDI notify")
        return device_->play();
    const std::int32_t rewound = device_->rewind();
    return rewound != 0 || command == "seek MIDI to start" ? rewound : device_->play();
}

} // namespace sound
