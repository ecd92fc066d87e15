// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "audio/mci_commands.h"

#include "audio/sound_server_device.h"

#include <cstring>
#include <string_view>

namespace audio {

namespace mci_error = media::mci_error;

namespace {

constexpr std::string_view openStart = "open \"";
constexpr std::string_view openEnd = "\" alias MIDI";

bool isOpen(std::string_view command) {
    return command.size() >= openStart.size() + openEnd.size() && command.starts_with(openStart) &&
           command.ends_with(openEnd);
}

std::string_view modeWord(DeviceMode mode) {
    switch (mode) {
    case DeviceMode::Playing:
        return "playing";
    case DeviceMode::Stopped:
        return "stopped";
    case DeviceMode::NotReady:
        break;
    }
    return "not ready";
}

} // namespace

MciCommandInterpreter::MciCommandInterpreter()
    : MciCommandInterpreter([] { return std::make_unique<SoundServerDevice>(); }) {}

MciCommandInterpreter::MciCommandInterpreter(SoundDeviceFactory makeDevice)
    : makeDevice_(std::move(makeDevice)) {}

MciCommandInterpreter::~MciCommandInterpreter() = default;

std::int32_t MciCommandInterpreter::mciSendStringA(const char* text, char* reply,
                                                   std::uint32_t replyLength,
                                                   std::intptr_t /*callbackWindow*/) {
    const std::string_view command = text == nullptr ? "" : text;
    if (isOpen(command)) {
        const auto path =
            command.substr(openStart.size(), command.size() - openStart.size() - openEnd.size());
        return open(std::string(path));
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
        return status(reply, replyLength);
    if (command == "play MIDI notify")
        return device_->play();
    const std::int32_t rewound = device_->rewind();
    if (rewound != 0 || command == "seek MIDI to start")
        return rewound;
    return device_->play(); // play MIDI from 0
}

// A device that cannot play its file is not kept.
std::int32_t MciCommandInterpreter::open(const std::string& path) {
    if (device_)
        return mci_error::deviceOpen;
    auto device = makeDevice_();
    if (const std::int32_t error = device->open(path); error != 0)
        return error;
    device_ = std::move(device);
    return 0;
}

// The mode word and its NUL, only where they fit within the declared length.
std::int32_t MciCommandInterpreter::status(char* reply, std::uint32_t replyLength) const {
    if (reply == nullptr || replyLength == 0)
        return 0;
    const std::string_view word = modeWord(device_->mode());
    if (word.size() >= replyLength) {
        reply[0] = '\0';
        return mci_error::paramOverflow;
    }
    std::memcpy(reply, word.data(), word.size());
    reply[word.size()] = '\0';
    return 0;
}

} // namespace audio
