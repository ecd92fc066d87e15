// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

// A tiny self-contained generator, so the assets come out the same with every
// standard library (std::uniform_real_distribution is not portable).
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    // Uniform in [0, 1).
    double next() {
        state_ += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) * 0x1.0p-53;
    }

    double between(double low, double high) { return low + (high - low) * next(); }

private:
    std::uint64_t state_;
};

// Smooth one-dimensional noise in [-1, 1]: random knots at unit spacing,
// joined with a cosine ease so the wobble of a line has no corners.
class SmoothNoise {
public:
    SmoothNoise(Random& random, int knotCount) {
        knots_.reserve(static_cast<std::size_t>(knotCount) + 2);
        for (int i = 0; i < knotCount + 2; ++i) {
            knots_.push_back(random.between(-1.0, 1.0));
        }
    }

    double at(double x) const {
        const double clamped = std::clamp(x, 0.0, static_cast<double>(knots_.size() - 2));
        const auto index = static_cast<std::size_t>(clamped);
        const double fraction = clamped - static_cast<double>(index);
        const double ease = (1.0 - std::cos(fraction * std::numbers::pi)) / 2.0;
        return knots_[index] * (1.0 - ease) + knots_[index + 1] * ease;
    }

private:
    std::vector<double> knots_;
};
