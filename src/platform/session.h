// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <optional>
#include <string>

namespace platform {

// Why no window can be shown here, or nothing when a display is reachable.
// Checked before Qt starts, which would otherwise abort with a core dump.
std::optional<std::string> whyNoDisplay();

} // namespace platform
