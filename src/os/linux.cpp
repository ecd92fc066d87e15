// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "os/linux.h"

#include <QCoreApplication>
#include <QFile>
#include <filesystem>

namespace os {

// The bytes the kernel has for the executable's path: a folder name in Shift-JIS, as unzip leaves
// a Windows archive's, comes through whole where a conversion to text would drop it.
std::string applicationFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    return executable.parent_path().string();
}

} // namespace os
