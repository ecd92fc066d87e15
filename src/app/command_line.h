// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <optional>
#include <string>

namespace app {

// What the command line asks for.
struct CommandLine {
    // The pack's folder, absolute, as the file system's bytes; empty for the program's folder.
    std::string folder;
    bool check = false; // check the pack instead of playing it
    // Set when there is nothing more to do: help or version printed (0), or a bad command line (2).
    std::optional<int> exitStatus;
};

// Reads the options without a display: --help and --version are answered on stdout; an unknown
// option, a second folder or a folder that cannot be read get a line on stderr.
CommandLine readCommandLine(int argc, char** argv);

} // namespace app
