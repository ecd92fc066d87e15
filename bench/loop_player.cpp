// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// Plays a wave file the way the game does (Bgm over the real command
// interpreter, polled by a 1 ms precise timer) for a given number of seconds.
// Used by loop_gap.py to record what reaches the sound server.
#include "audio/mci_commands.h"
#include "media/bgm.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <array>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: loop_player FILE.wav SECONDS\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    audio::MciCommandInterpreter mci;
    media::Bgm bgm(mci);
    QElapsedTimer startUp;
    startUp.start();
    bgm.start(argv[1]);
    const double startUpMs = static_cast<double>(startUp.nsecsElapsed()) / 1e6;
    std::array<char, 16> mode{};
    mci.mciSendStringA("status MIDI mode", mode.data(), 15, 0);
    std::fprintf(stderr, "open and play: %s in %.1f ms\n", mode.data(), startUpMs);

    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&bgm] { bgm.BgmTim_Timer(); });
    poll.start();
    QTimer::singleShot(std::atoi(argv[2]) * 1000, &app, &QCoreApplication::quit);
    return app.exec();
}
