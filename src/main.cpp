// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/first_paint.h"
#include "app/frm.h"
#include "app/units.h"
#include "check/pack_check.h"
#include "common/library_messages.h"
#include "common/random.h"
#include "common/report.h"
#include "files/picture_decoder.h"
#include "os/display.h"
#include "os/fontconfig.h"
#include "os/linux.h"
#include "sound/mci_commands.h"
#include "sound/sound_library.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <tuple>

namespace {

// What the command line asks for.
struct CommandLine {
    // The pack's folder, absolute, as the file system's bytes; empty for the program's folder.
    std::string folder;
    bool check = false; // check the pack instead of playing it
    // Set when there is nothing more to do: help or version printed (0), or a bad command line (2).
    std::optional<int> exitStatus;
};

// The folder as the file system's bytes: Qt's decoding of the command line would lose a folder
// named in Shift-JIS. No option takes a value, so it is the first argument that is no option.
std::string folderArgument(int argc, char** argv) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (!optionsEnded && argument == "--")
            optionsEnded = true;
        else if (optionsEnded || !argument.starts_with('-'))
            return std::filesystem::absolute(argument).lexically_normal().string();
    }
    return {};
}

bool isReadableFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    return !error;
}

// The player's language, as the desktop names it (LANGUAGE, LC_ALL, LC_MESSAGES, LANG): the game's
// own catalogue, compiled in, and Qt's for the same language when it is installed, so that Qt's
// few words never come in a language the game's own lines are not in. English needs neither.
struct Translations {
    Translations() {
        if (game.load(QLocale::system(), QStringLiteral("sorawata"), QStringLiteral("_"),
                      QStringLiteral(":/i18n")))
            std::ignore = qt.load(QStringLiteral("qtbase_") + game.language(),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    // Into the application of the moment: each one starts without translations.
    void install() {
        for (QTranslator* catalogue : {&game, &qt})
            if (!catalogue->isEmpty())
                QCoreApplication::installTranslator(catalogue);
    }
    QTranslator game;
    QTranslator qt;
};

// Reads the options without a display: --help and --version are answered on stdout; an unknown
// option, a second folder or a folder that cannot be read get a line on stderr.
CommandLine readCommandLine(int argc, char** argv) {
    QCoreApplication::setApplicationVersion(QStringLiteral(SORAWATA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "CommandLine",
        "A small, quiet game in Japanese: you spend the night thinking over a quarrel."));
    // Not addHelpOption(): its --help-all would list Qt's options, which the game does not take.
    const QCommandLineOption help(
        {QStringLiteral("h"), QStringLiteral("help")},
        QCoreApplication::translate("CommandLine", "Displays this help."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption check(
        QStringLiteral("check"),
        QCoreApplication::translate(
            "CommandLine",
            "Reads the pack as the game would, without a window or sound, and prints a line for "
            "each of its files. The exit status is 0 when the game would show and play them all, "
            "1 otherwise."));
    parser.addOption(check);
    // The argument's name is not translated: Qt lines the help's columns up by characters, and a
    // name in full-width characters would push its description out of line.
    parser.addPositionalArgument(
        QStringLiteral("folder"),
        QCoreApplication::translate(
            "CommandLine",
            "The folder of the asset pack to play or check: dat.txt, end0.txt, end1.txt, bgm.wav "
            "and the folder img. Without it, the files beside the program."),
        QStringLiteral("[folder]"));

    CommandLine command;
    const bool understood = parser.parse(QCoreApplication::arguments());
    if (!understood || parser.positionalArguments().size() > 1) {
        common::tell(understood
                         ? QCoreApplication::translate("CommandLine", "give one folder at the most")
                               .toStdString()
                         : parser.errorText().toStdString());
        std::fputs(qPrintable(parser.helpText()), stderr);
        command.exitStatus = 2;
    } else if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        command.exitStatus = 0;
    } else if (parser.isSet(version)) {
        std::printf("sorawata %s\n", SORAWATA_VERSION);
        command.exitStatus = 0;
    } else if (parser.positionalArguments().value(0, QStringLiteral(".")).isEmpty()) {
        common::tell(
            QCoreApplication::translate("CommandLine", "the folder's name is empty").toStdString());
        command.exitStatus = 2;
    } else {
        command.folder = folderArgument(argc, argv);
        command.check = parser.isSet(check);
        if (!command.folder.empty() && !isReadableFolder(command.folder)) {
            common::tell(command.folder + ": " +
                         QCoreApplication::translate("CommandLine", "not a folder that can be read")
                             .toStdString());
            command.exitStatus = 2;
        }
    }
    return command;
}

// Without a font for Japanese every text of the game is a row of boxes.
void tellIfNoJapaneseFont() {
    if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
        common::tell(QCoreApplication::translate(
                         "Fonts",
                         "no installed font covers Japanese text, so the game's texts show as "
                         "boxes; install one, such as fonts-noto-cjk")
                         .toStdString());
}

} // namespace

int main(int argc, char** argv) {
    // A report line written into a pipe whose reader has gone is lost, and the game plays on.
    std::signal(SIGPIPE, SIG_IGN);
    common::HoldLibraryMessages::installEarly();
    const std::string programFolder = os::applicationFolder();
    Translations translations;
    std::string folder;
    {
        // Until the window's application replaces it, so that everything said before, the pack
        // checker's lines too, is translated.
        const QCoreApplication application(argc, argv);
        translations.install();
        const CommandLine command = readCommandLine(argc, argv);
        if (command.exitStatus)
            return *command.exitStatus;
        folder = command.folder.empty() ? programFolder : command.folder;
        if (command.check) {
            files::PictureDecoder pictures(programFolder + "/sorawata-picture-decoder");
            return check::checkPack(folder, pictures);
        }

        if (const auto problem = os::chooseDisplay()) {
            common::tell(*problem);
            return 1;
        }
        os::holdQtStartMessages();
    }
    std::jthread fontConfiguration = os::loadFontConfiguration();
    QApplication application(argc, argv);
    translations.install();
    os::passOnQtStartMessages();
    QApplication::setApplicationName(QStringLiteral("sorawata"));
    QGuiApplication::setDesktopFileName(QStringLiteral("sorawata"));
    fontConfiguration.join();
    tellIfNoJapaneseFont();

    common::ClockRandom random;
    sound::MciCommandInterpreter music(sound::makeSoundLibraryDevice);
    // Started once the window shows: loading the decoder and the sound library on a busy machine
    // would hold the first paint back. The first scene waits in the decoder's socket until then.
    files::PictureDecoder pictures(programFolder + "/sorawata-picture-decoder",
                                   files::PictureDecoder::Start::WhenLet);
    app::Frm frm(folder, app::screenWidthTwips(), random, music, pictures);
    app::afterFirstPaint(frm, [&pictures] {
        pictures.letStart();
        sound::letSoundLibraryLoad();
    });
    frm.showGame();
    return QApplication::exec();
}
