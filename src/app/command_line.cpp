// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/command_line.h"

#include "common/report.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <string_view>

namespace app {

namespace {

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

} // namespace

CommandLine readCommandLine(int argc, char** argv) {
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(SORAWATA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A small, quiet game in Japanese: you spend the night thinking over a quarrel."));
    // Not addHelpOption(): its --help-all would list Qt's own options, which the game does not
    // take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption check(
        QStringLiteral("check"),
        QStringLiteral("Reads the pack as the game would, without a window or sound, and prints a "
                       "line for each of its files. The exit status is 0 when the game would "
                       "show and play them all, 1 otherwise."));
    parser.addOption(check);
    parser.addPositionalArgument(
        QStringLiteral("folder"),
        QStringLiteral("The folder of the asset pack to play or check: dat.txt, end0.txt, "
                       "end1.txt, bgm.wav and the folder img. Without it, the files beside the "
                       "program."),
        QStringLiteral("[folder]"));

    CommandLine command;
    const bool understood = parser.parse(QCoreApplication::arguments());
    if (!understood || parser.positionalArguments().size() > 1) {
        common::tell(understood ? "give one folder at the most" : parser.errorText().toStdString());
        std::fputs(qPrintable(parser.helpText()), stderr);
        command.exitStatus = 2;
    } else if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        command.exitStatus = 0;
    } else if (parser.isSet(version)) {
        std::printf("sorawata %s\n", SORAWATA_VERSION);
        command.exitStatus = 0;
    } else {
        command.folder = folderArgument(argc, argv);
        command.check = parser.isSet(check);
        if (!command.folder.empty() && !isReadableFolder(command.folder)) {
            common::tell(command.folder + ": not a folder that can be read");
            command.exitStatus = 2;
        }
    }
    return command;
}

} // namespace app
