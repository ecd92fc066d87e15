// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "audio/mci_commands.h"

#include <cstdint>
#include <string>

namespace media {

// The background music: opened once under the alias "MIDI", started once, and
// replayed from the start by the 1 ms BgmTim poll whenever it has stopped.
class Bgm {
public:
    explicit Bgm(media::MciInterface& mci);

    // Start-up's part: the music is wanted from now on, opened from `path` and played.
    void start(const std::string& path);

    void BgmOpen(const std::string& path);
    void BgmPlay();
    void BgmTim_Timer();

private:
    media::MciInterface& mci_;
    std::int16_t BgmLoop = 0;   // true is -1, false 0
    std::int32_t MciResult = 0; // the latest result but the status query's; nothing decides on it
};

} // namespace media
