// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "common/random.h"

#include <cstddef>
#include <gtest/gtest.h>
#include <vector>

// A random source for tests: hands out the given r values in order. Running out of values is a
// test failure, so a test states exactly how many draws the code under test makes.
class ScriptedRandom : public common::RandomSource {
public:
    ScriptedRandom(std::initializer_list<double> values) : values_(values) {}
    explicit ScriptedRandom(std::vector<double> values) : values_(std::move(values)) {}

    void randomize() override { ++randomizeCount_; }

    double next() override {
        if (position_ >= values_.size()) {
            ADD_FAILURE() << "ScriptedRandom ran out after " << values_.size() << " draws";
            return 0.0;
        }
        return values_[position_++];
    }

    int randomizeCount() const { return randomizeCount_; }
    std::size_t remaining() const { return values_.size() - position_; }

private:
    std::vector<double> values_;
    std::size_t position_ = 0;
    int randomizeCount_ = 0;
};

// The r value that makes a draw from n give exactly `value`.
inline double drawing(int value, int n) {
    return (value + 0.5) / n;
}
