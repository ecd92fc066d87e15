// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

// A private file that the fuzz targets rewrite with each input, for code that reads from a path.
// It lives in memory (/dev/shm) where there is one: on ext4, truncating and rewriting a file on
// disk forces a flush at every close and costs a hundred times more than the code under test.
class ScratchFile {
public:
    explicit ScratchFile(const char* name) {
        const bool inMemory = access("/dev/shm", W_OK) == 0;
        std::string pattern = std::string(inMemory ? "/dev/shm/" : "/tmp/") + name + "-XXXXXX";
        const int descriptor = mkstemp(pattern.data());
        if (descriptor < 0)
            std::abort();
        close(descriptor);
        path_ = pattern;
    }
    ~ScratchFile() { std::remove(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return path_; }

    void write(const std::uint8_t* data, std::size_t size) const {
        std::ofstream(path_, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

private:
    std::string path_;
};
