// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "files/asset_file.h"

#include "files/asset_path.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

AssetFile::AssetFile(const std::string& path) {
    // Without O_NONBLOCK, opening a named pipe waits for a writer.
    const int descriptor =
        ::open(findFileIgnoringCase(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        problem_ = std::strerror(errno);
        return;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        problem_ = "not a regular file";
        ::close(descriptor);
        return;
    }
    // Reads from a regular file wait for the disk as usual.
    if (fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0) {
        problem_ = std::strerror(errno);
        ::close(descriptor);
        return;
    }
    descriptor_ = descriptor;
    size_ = status.st_size;
}

AssetFile::~AssetFile() {
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

} // namespace files
