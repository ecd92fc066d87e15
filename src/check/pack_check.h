// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace check {

// Reads the pack in `folder` as the game would, without a window or sound, and prints a line on
// stdout for each file: where it was found, and the texts' encoding and lines, the pictures' size,
// the music's format, length and loop. What the game would tell the player about a file goes to
// stderr as it would. Returns 0 when the game would show and play everything, 1 otherwise.
int checkPack(const std::string& folder);

} // namespace check
