// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// Writes one file that is cheap to store and costly to decode, for decode_budget.sh:
//   hostile_file KIND PATH
// KIND: many-scans, scan-per-channel, comments, xpm-hole, pgm-hole.

#include "hostile_pictures.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

namespace {

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

int main(int argc, char** argv) {
    using namespace hostile_pictures;
    const std::map<std::string, std::function<void(const std::string&)>> kinds = {
        {"many-scans",
         [](const std::string& path) { writeBytes(path, manyScanJpeg(5792, 5792, 2000)); }},
        {"scan-per-channel",
         [](const std::string& path) { writeBytes(path, scanPerChannelJpeg(16384)); }},
        {"comments", [](const std::string& path) { writeBytes(path, commentedJpeg(196 << 20)); }},
        {"xpm-hole", [](const std::string& path) { writeWithHole(path, xpmHead); }},
        {"pgm-hole", [](const std::string& path) { writeWithHole(path, pgmHead); }},
    };
    const auto kind = argc == 3 ? kinds.find(argv[1]) : kinds.end();
    if (kind == kinds.end()) {
        std::fprintf(stderr, "usage: hostile_file KIND PATH\n");
        return 2;
    }
    kind->second(argv[2]);
    return 0;
}
