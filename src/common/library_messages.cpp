// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "common/library_messages.h"

#include "common/report.h"

#include <cstdio>
#include <mutex>
#include <string_view>

namespace common {

namespace {

thread_local LibraryMessages* holding = nullptr; // this thread's, while it reads a file
std::once_flag installed;

// A line that is held: how it is told, at most this long.
constexpr std::size_t longestFirstLine = 200;

ssize_t holdOrPassOn(void* /*cookie*/, const char* bytes, std::size_t size) {
    LibraryMessages* held = holding;
    if (held == nullptr)
        return static_cast<ssize_t>(std::fwrite(bytes, 1, size, originalStderr()));
    for (const char c : std::string_view(bytes, size))
        if (c == '\n')
            ++held->lines;
        else if (held->lines == 0 && held->first.size() < longestFirstLine)
            held->first += c;
    return static_cast<ssize_t>(size);
}

// Unbuffered, so that each write is told apart by the thread that makes it.
void installHoldingStderr() {
    FILE* original = originalStderr();
    FILE* filter = fopencookie(nullptr, "w", {nullptr, holdOrPassOn, nullptr, nullptr});
    if (filter == nullptr || setvbuf(filter, nullptr, _IONBF, 0) != 0)
        return;
    std::fflush(original);
    stderr = filter;
}

} // namespace

void HoldLibraryMessages::installEarly() {
    originalStderr(); // taken before `stderr` is replaced
    std::call_once(installed, installHoldingStderr);
}

HoldLibraryMessages::HoldLibraryMessages(LibraryMessages& into) : outer_(holding) {
    installEarly();
    holding = &into;
}

HoldLibraryMessages::~HoldLibraryMessages() {
    holding = outer_;
}

} // namespace common
