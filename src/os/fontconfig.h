// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <thread>

namespace os {

// Reads the system's font configuration (fontconfig) on a thread of its own. Qt reads it on the
// window's thread the first time it lists the fonts, in the middle of the start; begun while Qt
// connects to the display, it is ready by then. Join the thread before the fonts are listed.
std::jthread loadFontConfiguration();

} // namespace os
