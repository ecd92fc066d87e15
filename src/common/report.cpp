// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "common/report.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>

namespace common {

FILE* originalStderr() {
    static FILE* const original = stderr;
    return original;
}

void tell(const std::string& what) {
    std::fprintf(originalStderr(), "sorawata: %s\n", what.c_str());
}

namespace {

std::mutex reportedMutex;
std::set<std::string> reported; // the files told about

} // namespace

void reportFileProblem(const std::string& path, const std::string& problem) {
    const std::lock_guard lock(reportedMutex);
    if (reported.insert(path).second)
        tell(path + ": " + problem);
}

bool anyFileProblemReported() {
    const std::lock_guard lock(reportedMutex);
    return !reported.empty();
}

void fault(const std::string& what) {
    tell(what);
    std::abort();
}

} // namespace common
