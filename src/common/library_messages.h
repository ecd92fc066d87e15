// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace common {

// What libraries print on stderr on their own while a file is read. libmpg123, inside libsndfile,
// writes "Note: Illegal Audio-MPEG-Header ..." through `stderr` at every damaged frame and names no
// file: the game folds those lines into its own line about the file.
struct LibraryMessages {
    int lines = 0;
    std::string first; // the first line, without its newline
};

// While one lives, the lines this thread writes to `stderr` are counted into `into`, not printed;
// other threads' lines pass on. The first one installs, once per run, a `stderr` that passes
// everything else on to the original one, which the game's own lines use (see `tell`). Crash
// reports, written to the descriptor, are not touched.
class HoldLibraryMessages {
public:
    // Installs that `stderr` now, while the program has one thread; otherwise the first hold does.
    static void installEarly();

    explicit HoldLibraryMessages(LibraryMessages& into);
    ~HoldLibraryMessages();
    HoldLibraryMessages(const HoldLibraryMessages&) = delete;
    HoldLibraryMessages& operator=(const HoldLibraryMessages&) = delete;

private:
    LibraryMessages* outer_;
};

} // namespace common
