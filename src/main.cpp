// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/command_line.h"
#include "app/frm.h"
#include "app/units.h"
#include "audio/mci_commands.h"
#include "check/pack_check.h"
#include "common/random.h"
#include "common/report.h"
#include "os/display.h"
#include "os/linux.h"

#include <QApplication>
#include <QFontDatabase>
#include <QIcon>
#include <csignal>

namespace {

// Without a font for Japanese every text of the game is a row of boxes.
void tellIfNoJapaneseFont() {
    if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
        common::tell("no installed font covers Japanese text, so the game's texts show as boxes; "
                     "install one, such as fonts-noto-cjk");
}

} // namespace

int main(int argc, char** argv) {
    // A report line written into a pipe whose reader has gone is lost, and the game plays on.
    std::signal(SIGPIPE, SIG_IGN);
    const app::CommandLine command = app::readCommandLine(argc, argv);
    if (command.exitStatus)
        return *command.exitStatus;
    const std::string folder = command.folder.empty() ? os::applicationFolder() : command.folder;
    if (command.check)
        return check::checkPack(folder);

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
    tellIfNoJapaneseFont();

    common::ClockRandom random;
    audio::MciCommandInterpreter music;
    app::Frm frm(folder, app::screenWidthTwips(), random, music);
    frm.showGame();
    return QApplication::exec();
}
