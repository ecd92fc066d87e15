// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// Plays a wave file the way the game does (Bgm over the real command
// interpreter, polled by a 1 ms precise timer) for a given number of seconds.
// Used by loop_gap.py to record what reaches the sound server.
#include "music/bgm.h"
#include "sound/mci_commands.h"
#include "sound/sound_server_device.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: loop_player FILE.wav SECONDS\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    sound::MciCommandInterpreter mci(sound::makeSoundServerDevice);
    music::Bgm bgm(mci);
    QElapsedTimer startUp;
    startUp.start();
    bgm.start(argv[1]);
    const double openMs = static_cast<double>(startUp.nsecsElapsed()) / 1e6;
    // The file is opened on the audio thread: the first round plays once the poll finds the device
    // ready. Told once, when the music first plays, or at the end if it never did.
    bool told = false;
    const auto tellStart = [&](bool atTheEnd) {
        std::array<char, 16> mode{};
        mci.mciSendStringA("status MIDI mode", mode.data(), 15, 0);
        if (told || (!atTheEnd && std::string_view(mode.data()) != "playing"))
            return;
        told = true;
        std::fprintf(stderr, "open and play: %s in %.1f ms (the open returned in %.1f ms)\n",
                     mode.data(), static_cast<double>(startUp.nsecsElapsed()) / 1e6, openMs);
    };

    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        bgm.BgmTim_Timer();
        tellStart(false);
    });
    poll.start();
    QTimer::singleShot(std::atoi(argv[2]) * 1000, &app, &QCoreApplication::quit);
    const int status = app.exec();
    tellStart(true);
    return status;
}
