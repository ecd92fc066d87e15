// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// Music command strings as the game sends them, and any bytes besides: the interpreter must answer
// each with 0 or one of its error codes, write a reply only for the status query and only within
// the reply buffer, leave its device alone when it refuses a command, and release every device
// when it goes.
#include "sound/mci_commands.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

int liveDevices = 0;

// Opens whatever is asked except paths that mention "missing"; plays and rewinds on demand.
class FakeDevice final : public sound::SoundDevice {
public:
    FakeDevice() { ++liveDevices; }
    ~FakeDevice() override { --liveDevices; }

    std::int32_t open(const std::string& path) override {
        if (path.find("missing") != std::string::npos)
            return music::mci_error::fileNotFound;
        mode_ = sound::DeviceMode::Stopped;
        return 0;
    }
    std::int32_t play() override {
        mode_ = sound::DeviceMode::Playing;
        return 0;
    }
    std::int32_t rewind() override {
        mode_ = sound::DeviceMode::Stopped;
        return 0;
    }
    sound::DeviceMode mode() const override { return mode_; }

private:
    sound::DeviceMode mode_ = sound::DeviceMode::NotReady;
};

bool isKnownResult(std::int32_t result) {
    namespace e = music::mci_error;
    const std::int32_t known[] = {0,
                                  e::unrecognizedCommand,
                                  e::hardware,
                                  e::invalidDeviceName,
                                  e::deviceOpen,
                                  e::paramOverflow,
                                  e::fileNotFound,
                                  e::deviceNotReady,
                                  e::invalidFile};
    return std::find(std::begin(known), std::end(known), result) != std::end(known);
}

// The first byte sizes the reply buffer (0: no buffer); the rest is commands, one per line.
void runCommands(std::string_view input) {
    const std::size_t replyLength = static_cast<unsigned char>(input[0]) % 64;
    input.remove_prefix(1);
    sound::MciCommandInterpreter interpreter([] { return std::make_unique<FakeDevice>(); });
    while (!input.empty()) {
        const std::size_t end = std::min(input.find('\n'), input.size());
        const std::string line(input.substr(0, end));
        // What the interpreter reads: up to a NUL byte, as the text of a C string.
        const std::string_view command = line.c_str();
        input.remove_prefix(std::min(end + 1, input.size()));

        // Exactly replyLength bytes on the heap, so that a write past the end is caught.
        std::vector<char> reply(replyLength, 'x');
        char* replyData = replyLength == 0 ? nullptr : reply.data();
        const int devicesBefore = liveDevices;
        const std::int32_t result =
            interpreter.mciSendStringA(line.c_str(), replyData, replyLength, 0);
        if (!isKnownResult(result))
            std::abort();
        if (result != 0 && liveDevices != devicesBefore)
            std::abort();
        const bool untouched =
            std::all_of(reply.begin(), reply.end(), [](char c) { return c == 'x'; });
        if (command != "status MIDI mode" && !untouched)
            std::abort();
        if (command == "status MIDI mode" && result == 0 && replyLength > 0 &&
            std::memchr(replyData, '\0', replyLength) == nullptr)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    runCommands(std::string_view(reinterpret_cast<const char*>(data), size));
    if (liveDevices != 0)
        std::abort();
    return 0;
}
