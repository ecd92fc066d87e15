// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "music/mci.h"

#include <cstdint>
#include <string>

namespace music {

// The background music, replayed from the start by the 1 ms BgmTim poll whenever it has stopped.
class Bgm {
public:
    explicit Bgm(music::MciInterface& mci) : mci_(mci) {}

    // Start-up's part: the music is wanted from now on, opened from `path` and played.
    void start(const std::string& path) {
        BgmLoop = vbTrue;
        BgmOpen(path);
        BgmPlay();
    }

    void BgmOpen(const std::string& path);
    void BgmPlay();
    void BgmTim_Timer();

private:
    static constexpr std::int16_t vbTrue = -1;

    music::MciInterface& mci_;
    std::int16_t BgmLoop = 0;   // vbTrue or 0
    std::int32_t MciResult = 0; // the latest result but the status query's; nothing decides on it
};

} // namespace music
