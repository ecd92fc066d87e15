// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <string>

namespace sound {

// "not ready" until opened and while there is no output; "stopped" at the end or after a rewind.
enum class DeviceMode { NotReady, Playing, Stopped };

// One opened sound, as the command interpreter drives it. Each method returns 0 or an mci_error
// code.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    // Called once, right after the device is made. May return before the file is read: what is
    // wrong with it is said on stderr, and the device stays "not ready".
    virtual std::int32_t open(const std::string& path) = 0;
    virtual std::int32_t play() = 0;
    // Back to the start of the sound, stopped.
    virtual std::int32_t rewind() = 0;
    // Called a thousand times a second: must not allocate, lock or log.
    virtual DeviceMode mode() const = 0;
};

} // namespace sound
