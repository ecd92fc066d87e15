// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "os/fontconfig.h"

#include <fontconfig/fontconfig.h>

namespace os {

std::jthread loadFontConfiguration() {
    // Fontconfig keeps the configuration it loads for the whole process, Qt's calls included.
    return std::jthread([] { FcInit(); });
}

} // namespace os
