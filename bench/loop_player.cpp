// Plays a wave file the way the game does (Bgm over the real command
// interpreter, polled by a 1 ms precise timer) for a given number of seconds.
// Used by loop_gap.py to record what reaches the sound server.
#include "media/bgm.h"
#include "platform/mci.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: loop_player FILE.wav SECONDS\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    platform::MciCommandInterpreter mci;
    media::Bgm bgm(mci);
    QElapsedTimer startUp;
    startUp.start();
    bgm.BgmLoop = -1;
    bgm.BgmOpen(argv[1]);
    bgm.BgmPlay();
    std::fprintf(stderr, "open and play: result %d in %.1f ms\n", static_cast<int>(bgm.MciResult),
                 static_cast<double>(startUp.nsecsElapsed()) / 1e6);

    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&bgm] { bgm.BgmTim_Timer(); });
    poll.start();
    QTimer::singleShot(std::atoi(argv[2]) * 1000, &app, &QCoreApplication::quit);
    return app.exec();
}
