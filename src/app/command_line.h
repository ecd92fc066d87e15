// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <optional>
#include <string>

namespace app {

// What the command line asks for.
struct CommandLine {
    // The folder of the pack to play or check, absolute, as the file system's bytes; empty for
    // the files beside the program.
    std::string folder;
    // Check the pack instead of playing it.
    bool check = false;
    // Set when there is nothing more to do: help or the version printed (0), or a command line
    // that cannot be followed (2).
    std::optional<int> exitStatus;
};

// Reads the options without a display: --help and --version are answered on stdout; an unknown
// option or a second folder gets one line and the usage on stderr, a folder that cannot be read
// one line.
CommandLine readCommandLine(int argc, char** argv);

} // namespace app
