// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <sys/resource.h>

namespace decoder {

// Decodes the pictures the game sends on descriptor 3, one at a time, taking at most `megabytes`
// of memory (any allocation beyond fails), until the game closes its end or dies. Never returns.
[[noreturn]] void serve(rlim_t megabytes);

} // namespace decoder
