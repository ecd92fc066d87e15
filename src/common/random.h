// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>

namespace common {

// The one random generator of the program: draws uniform in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Seeds from the clock; start-up does it once.
    virtual void randomize() = 0;
    virtual double next() = 0;
};

// A draw from n: floor(r * n), so 0 .. n-1 for n >= 1 (r just below 1 times n can round up to n).
inline int drawFrom(RandomSource& random, int n) {
    return std::min(static_cast<int>(std::floor(random.next() * n)), n - 1);
}

// The generator the game runs with.
class ClockRandom final : public RandomSource {
public:
    void randomize() override {
        engine_.seed(static_cast<std::uint64_t>(
            std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    }
    // The top 53 bits make a double in [0, 1) exactly; std::generate_canonical may return 1.0.
    double next() override { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

private:
    std::mt19937_64 engine_;
};

} // namespace common
