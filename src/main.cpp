// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/frm.h"
#include "platform/linux.h"
#include "platform/mci.h"
#include "platform/random.h"
#include "platform/report.h"
#include "platform/session.h"

#include <QApplication>
#include <QIcon>
#include <csignal>

int main(int argc, char** argv) {
    // A report line written into a pipe whose reader has gone is lost, and the game plays on.
    std::signal(SIGPIPE, SIG_IGN);
    if (const auto problem = platform::chooseDisplay()) {
        platform::tell(*problem);
        return 1;
    }
    platform::holdQtStartMessages();
    QApplication application(argc, argv);
    platform::passOnQtStartMessages();
    QApplication::setApplicationName(QStringLiteral("sorawata"));
    QGuiApplication::setDesktopFileName(QStringLiteral("sorawata"));
    // The installed icon theme's flower when there is one, else the compiled-in one.
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("sorawata"), QIcon(QStringLiteral(":/icon.png"))));

    platform::ClockRandom random;
    platform::MciCommandInterpreter music;
    app::Frm frm(platform::applicationFolder(), app::screenWidthTwips(), random, music);
    frm.showGame();
    return QApplication::exec();
}
