// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <random>

namespace common {

// The one random generator of the program: draws uniform in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Seeds from the clock; start-up does it once.
    virtual void randomize() = 0;
    // Uniform in [0, 1).
    virtual double next() = 0;
};

// A draw from n: floor(r * n), so 0 .. n-1 for n >= 1.
int drawFrom(RandomSource& random, int n);

// The generator the game runs with.
class ClockRandom final : public RandomSource {
public:
    void randomize() override;
    double next() override;

private:
    std::mt19937_64 engine_;
};

} // namespace common
