// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace files {
class PictureDecoder;
}

namespace check {

// Reads the pack in `folder` as the game would, without a window or sound, and prints a line for
// each file: where it was found, the texts' encoding and lines, the pictures' size, the music's
// format, length and loop; the game's own reports go to stderr. Returns 0 when the game would show
// and play everything, 1 otherwise.
int checkPack(const std::string& folder, files::PictureDecoder& pictures);

} // namespace check
