// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <optional>
#include <string>

namespace os {

// Settles the display the window goes to, before Qt starts, which would otherwise abort with a
// core dump when there is none. Returns why no window can be shown here, or nothing when a display
// is reachable. A WAYLAND_DISPLAY at which no compositor answers counts as none: it is dropped from
// the environment, so that Qt does not try it.
std::optional<std::string> chooseDisplay();

// Around the making of the application: Qt's messages meanwhile are held back, and passed on once
// it stands. Should no platform plugin start after all, the game says so in its own one line and
// exits with status 1 instead of Qt's lines and an abort.
void holdQtStartMessages();
void passOnQtStartMessages();

} // namespace os
