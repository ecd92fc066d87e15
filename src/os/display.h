// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <optional>
#include <string>

namespace os {

// Settles the display before Qt starts, which would abort with a core dump without one. Returns
// why no window can be shown, or nothing. A WAYLAND_DISPLAY at which no compositor answers counts
// as none, and is dropped from the environment so that Qt does not try it.
std::optional<std::string> chooseDisplay();

// Around the making of the application: Qt's messages on this thread are held back, and passed on
// once it stands.
// Should no platform plugin start, the game says so in one line and exits with status 1. Hold them
// while the command line's application stands: that line is translated then, as the application
// being made has no translations yet.
void holdQtStartMessages();
void passOnQtStartMessages();

} // namespace os
