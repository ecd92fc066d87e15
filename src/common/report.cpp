// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "common/report.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>

namespace common {

void tell(const std::string& what) {
    std::fprintf(stderr, "sorawata: %s\n", what.c_str());
}

void reportFileProblem(const std::string& path, const std::string& problem) {
    static std::mutex mutex;
    static std::set<std::string> reported;
    const std::lock_guard lock(mutex);
    if (reported.insert(path).second) {
        tell(path + ": " + problem);
    }
}

void fault(const std::string& what) {
    tell(what);
    std::abort();
}

} // namespace common
