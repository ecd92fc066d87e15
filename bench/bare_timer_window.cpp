// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// The CPU baseline for the game: an empty window and a 1 ms precise timer
// doing nothing, run for the given number of seconds.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(480, 360);
    window.show();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [] {});
    tick.start();
    if (argc > 1)
        QTimer::singleShot(std::atoi(argv[1]) * 1000, &app, &QApplication::quit);
    return app.exec();
}
