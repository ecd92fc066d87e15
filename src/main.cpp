// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/frm.h"
#include "audio/mci_commands.h"
#include "common/random.h"
#include "common/report.h"
#include "os/display.h"
#include "os/linux.h"

#include <QApplication>
#include <QIcon>
#include <csignal>

int main(int argc, char** argv) {
    // A report line written into a pipe whose reader has gone is lost, and the game plays on.
    std::signal(SIGPIPE, SIG_IGN);
    if (const auto problem = os::chooseDisplay()) {
        common::tell(*problem);
        return 1;
    }
    os::holdQtStartMessages();
    QApplication application(argc, argv);
    os::passOnQtStartMessages();
    QApplication::setApplicationName(QStringLiteral("sorawata"));
    QGuiApplication::setDesktopFileName(QStringLiteral("sorawata"));
    // The installed icon theme's flower when there is one, else the compiled-in one.
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("sorawata"), QIcon(QStringLiteral(":/icon.png"))));

    common::ClockRandom random;
    audio::MciCommandInterpreter music;
    app::Frm frm(os::applicationFolder(), app::screenWidthTwips(), random, music);
    frm.showGame();
    return QApplication::exec();
}
