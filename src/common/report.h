// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdio>
#include <string>

namespace common {

// The stream stderr was when the program started, where the game's own lines go: `stderr` itself
// may hold back libraries' lines (see HoldLibraryMessages).
FILE* originalStderr();

// One line on stderr for the player: "sorawata: " and `what`.
void tell(const std::string& what);

// Tells the player, once per file and run, what is wrong with an asset file; the game carries on
// without it.
void reportFileProblem(const std::string& path, const std::string& problem);
// Whether anything has been wrong with an asset file so far.
bool anyFileProblemReported();

// A programming error the game cannot go on from: tells what it was and ends the program at once.
[[noreturn]] void fault(const std::string& what);

} // namespace common
