// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <sys/types.h>

namespace decoder {

// Sends `size` bytes as one message, with `descriptor` alongside unless it is negative. True when
// the whole message went; never raises SIGPIPE.
bool sendMessage(int socket, const void* bytes, std::size_t size, int descriptor);

// Receives one message of at most `size` bytes, and the descriptor that came with it
// (close-on-exec) into `descriptor`, -1 when none did. Returns the bytes received; 0 when the other
// end is closed.
ssize_t receiveMessage(int socket, void* bytes, std::size_t size, int& descriptor, int flags = 0);

} // namespace decoder
