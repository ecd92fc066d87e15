// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/mci.h"

// A music device that refuses everything: the game runs silent.
class SilentMci final : public platform::MciInterface {
public:
    std::int32_t mciSendStringA(const char*, char*, std::uint32_t, std::intptr_t) override {
        return platform::mci_error::invalidDeviceName;
    }
};
