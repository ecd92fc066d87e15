// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "sound/mci_commands.h"

// A music device that refuses everything: the game runs silent.
class SilentMci final : public music::MciInterface {
public:
    std::int32_t mciSendStringA(const char*, char*, std::uint32_t, std::intptr_t) override {
        return music::mci_error::invalidDeviceName;
    }
};
