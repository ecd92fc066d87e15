// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace os {

// The folder of the executable (the real file, not a link to it), as the file system's bytes.
std::string applicationFolder();

} // namespace os
