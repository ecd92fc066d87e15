// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <string>

namespace files {

// Asset packs made on Windows often differ from the game's names only in letter case (`IMG/0.JPG`).
// Returns `path` when it exists; else the path whose folders and file name match it ignoring ASCII
// case (the first in byte order among several); else `path` unchanged.
std::string findFileIgnoringCase(const std::string& path);

// The folder with exactly one trailing separator, ready for asset names to be appended.
std::string withTrailingSeparator(std::string folder);

// An asset file open for reading. The open never waits, as it would for good on a named pipe that
// nobody writes to; only a regular file stays open, anything else has a problem as a missing one.
class AssetFile {
public:
    // Opens `path`, found by findFileIgnoringCase and taken byte for byte.
    explicit AssetFile(const std::string& path);
    ~AssetFile();
    AssetFile(const AssetFile&) = delete;
    AssetFile& operator=(const AssetFile&) = delete;

    bool isOpen() const { return descriptor_ >= 0; }
    // Why the file is not open, for the player; empty when it is.
    const std::string& problem() const { return problem_; }
    int descriptor() const { return descriptor_; }
    // The size when it was opened, in bytes.
    std::int64_t size() const { return size_; }

private:
    int descriptor_ = -1;
    std::int64_t size_ = 0;
    std::string problem_;
};

} // namespace files
