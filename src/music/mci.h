// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>

namespace music {

// Windows-style multimedia command strings. Returns 0 on success, otherwise one of the codes below.
class MciInterface {
public:
    virtual ~MciInterface() = default;
    virtual std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                        std::intptr_t callbackWindow) = 0;
};

namespace mci_error {
constexpr std::int32_t unrecognizedCommand = 261; // not one of the game's commands
constexpr std::int32_t hardware = 262;            // no audio thread could be made
constexpr std::int32_t invalidDeviceName = 263;   // nothing is open under the alias
constexpr std::int32_t deviceOpen = 265;          // the alias is in use already
constexpr std::int32_t paramOverflow = 268;       // the reply does not fit the buffer
constexpr std::int32_t fileNotFound = 275;
constexpr std::int32_t deviceNotReady = 276; // no audio output yet
constexpr std::int32_t invalidFile = 296;    // not a sound the device can play
} // namespace mci_error

} // namespace music
