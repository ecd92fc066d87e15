// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// The game's picture decoder: a process of its own, so that a picture that is cheap to store but
// costly to decode costs the game nothing. It takes at most the memory it is given (any allocation
// beyond fails), and the game kills it when a picture takes too long and starts another.
// Usage: sorawata-picture-decoder MEGABYTES, with the game's socket as descriptor 3.

#include "decoder/serve.h"

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    decoder::serve(std::strtoul(argv[1], nullptr, 10));
}
