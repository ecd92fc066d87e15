// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "os/linux.h"

#include <filesystem>

namespace os {

// The bytes the kernel has for the executable's path: a folder name in Shift-JIS, as unzip leaves
// a Windows archive's, comes through whole where a conversion to text would drop it.
std::string applicationFolder() {
    std::error_code error; // none with /proc mounted
    return std::filesystem::read_symlink("/proc/self/exe", error).parent_path().string();
}

} // namespace os
