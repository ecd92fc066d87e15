// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace files {

// Asset packs made on Windows often differ from the names the game asks for only in letter case
// (`IMG/0.JPG`, `Dat.txt`). Returns `path` when it exists; otherwise the path whose folders and
// file name match it ignoring ASCII letter case, each looked up in the folder found so far; when
// there is none, `path` unchanged. Among several such names the first in byte order is taken.
std::string findFileIgnoringCase(const std::string& path);

// The folder with exactly one trailing separator, ready for asset names to be appended.
std::string withTrailingSeparator(std::string folder);

} // namespace files
