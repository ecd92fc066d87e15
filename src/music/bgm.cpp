// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "music/bgm.h"

#include "common/ascii.h"

#include <array>
#include <string_view>

namespace music {

void Bgm::BgmOpen(const std::string& path) {
    MciResult = mci_.mciSendStringA("close MIDI notify", nullptr, 0, 0);
    const std::string open = "open \"" + path + "\" alias MIDI";
    MciResult = mci_.mciSendStringA(open.c_str(), nullptr, 0, 0);
}

void Bgm::BgmPlay() {
    if (BgmLoop == vbTrue)
        MciResult = mci_.mciSendStringA("play MIDI notify", nullptr, 0, 0);
}

void Bgm::BgmTim_Timer() {
    // 16 spaces, of which the device is told about 15: the reply and its NUL land inside.
    std::array<char, 16> reply;
    reply.fill(' ');
    mci_.mciSendStringA("status MIDI mode", reply.data(), 15, 0);
    const bool stopped =
        common::equalIgnoringAsciiCase(std::string_view(reply.data(), 7), "stopped");
    if (stopped && BgmLoop == vbTrue) {
        MciResult = mci_.mciSendStringA("seek MIDI to start", nullptr, 0, 0);
        MciResult = mci_.mciSendStringA("play MIDI from 0", nullptr, 0, 0);
    }
}

} // namespace music
