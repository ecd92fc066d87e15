// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "common/random.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace common {

int drawFrom(RandomSource& random, int n) {
    const int drawn = static_cast<int>(std::floor(random.next() * n));
    // r just below 1 times n can round up to n itself.
    return std::min(drawn, n - 1);
}

void ClockRandom::randomize() {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    engine_.seed(static_cast<std::uint64_t>(now));
}

double ClockRandom::next() {
    // The top 53 bits make a double in [0, 1) exactly; std::generate_canonical may return 1.0.
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

} // namespace common
