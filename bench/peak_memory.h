// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <fstream>
#include <string>

// The peak resident memory of process `pid` ("self" for this one) in KiB: VmHWM from its
// /proc status, or -1 when it cannot be read.
inline long peakResidentKib(const std::string& pid = "self") {
    std::ifstream status("/proc/" + pid + "/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmHWM:" && status >> value)
            return value;
        status.ignore(1 << 16, '\n');
    }
    return -1;
}
