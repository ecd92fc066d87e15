// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "files/asset_file.h"

#include "common/ascii.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

namespace fs = std::filesystem;

// The entry of `folder` named `name` ignoring case, the first in byte order when there are several.
std::optional<fs::path> entryIgnoringCase(const fs::path& folder, const std::string& name) {
    std::optional<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error); !error && entry != fs::directory_iterator();
         entry.increment(error)) {
        const fs::path candidate = entry->path();
        if (common::equalIgnoringAsciiCase(candidate.filename().string(), name) &&
            (!found || candidate < *found))
            found = candidate;
    }
    return found;
}

// `path` itself when it exists, else its case-insensitive match, else nothing.
std::optional<fs::path> resolve(const fs::path& path) {
    std::error_code error;
    if (fs::exists(path, error))
        return path;
    const fs::path name = path.filename();
    if (name.empty() || path.parent_path() == path)
        return std::nullopt;
    const std::optional<fs::path> folder =
        resolve(path.has_parent_path() ? path.parent_path() : ".");
    if (!folder)
        return std::nullopt;
    return entryIgnoringCase(*folder, name.string());
}

// Why a file cannot be opened: the usual reasons in the player's language, in the C library's words
// for English; the rest as the C library has them.
std::string openProblem(int error) {
    switch (error) {
    case ENOENT:
        return QCoreApplication::translate("AssetFile", "No such file or directory").toStdString();
    case EACCES:
        return QCoreApplication::translate("AssetFile", "Permission denied").toStdString();
    default:
        return std::strerror(error);
    }
}

} // namespace

std::string findFileIgnoringCase(const std::string& path) {
    const std::optional<fs::path> found = resolve(fs::path(path));
    return found ? found->string() : path;
}

std::string withTrailingSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

AssetFile::AssetFile(const std::string& path) {
    // Without O_NONBLOCK, opening a named pipe waits for a writer.
    const int descriptor =
        ::open(findFileIgnoringCase(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        problem_ = openProblem(errno);
        return;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        problem_ = QCoreApplication::translate("AssetFile", "not a regular file").toStdString();
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
