// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {

// A programming error the game cannot go on from: says what it was on stderr and ends the
// program at once.
[[noreturn]] inline void fault(const std::string& what) {
    std::fprintf(stderr, "sorawata: %s\n", what.c_str());
    std::abort();
}

} // namespace platform
