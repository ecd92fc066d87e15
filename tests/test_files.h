// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

// Files for the tests, written and read whole.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace test_files {

// Writes `bytes` at `path`, making its folders, followed by `holeBytes` of zeros as a hole: a
// gibibyte of them takes no disk.
inline void writeFile(const std::filesystem::path& path, const std::string& bytes,
                      std::uintmax_t holeBytes = 0) {
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    if (holeBytes > 0)
        std::filesystem::resize_file(path, bytes.size() + holeBytes);
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace test_files
