// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "check/pack_check.h"

#include "check/music_check.h"
#include "common/report.h"
#include "files/asset_file.h"
#include "files/pack.h"
#include "files/picture.h"
#include "files/text_file.h"
#include "murmur/murmurs.h"
#include "sound/sound_library.h"

#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace check {

namespace {

// As the game reads them: the lines it uses, each cut as murmurs are.
struct Text {
    std::string name;
    int lines;
};
std::vector<Text> texts() {
    std::vector<Text> texts = {{files::pack::murmurs, murmur::Murmurs::LineCount}};
    for (int n = 0; n < files::pack::endingCount; ++n)
        texts.push_back({files::pack::endingText(n), murmur::EndingLineCount});
    return texts;
}
constexpr std::size_t mostCharacters = murmur::Murmurs::MaxLineCharacters;

// The scenes', then the endings'.
std::vector<std::string> pictureNames() {
    std::vector<std::string> names;
    for (int n = 0; n < files::pack::sceneCount; ++n)
        names.push_back(files::pack::scenePicture(n));
    for (int n = 0; n < files::pack::endingCount; ++n)
        names.push_back(files::pack::endingPicture(n));
    for (std::string& name : names)
        name = files::pack::pictures + name + files::pack::pictureExtension;
    return names;
}
// Decoded as the picture area of a 1024-pixel-wide screen shows it.
constexpr QSize shownSize(341, 341);

// "found", "found as IMG/0.JPG" when the name differs in letter case, or "missing".
std::string whereFound(const std::string& folder, const std::string& name, bool& found) {
    const std::string path = files::findFileIgnoringCase(folder + name);
    std::error_code error;
    found = std::filesystem::exists(path, error);
    if (!found)
        return QCoreApplication::translate("PackCheck", "missing").toStdString();
    if (path == folder + name)
        return QCoreApplication::translate("PackCheck", "found").toStdString();
    return QCoreApplication::translate("PackCheck", "found as %1")
        .arg(QString::fromStdString(path.substr(folder.size())))
        .toStdString();
}

std::string textReport(const std::string& path, const Text& text) {
    const files::TextStart start = files::readTextStart(path, text.lines, mostCharacters);
    const auto lines = files::firstLinesOf(start, path, text.lines, mostCharacters);
    return QCoreApplication::translate("PackCheck", "%1, %2 of %3 lines")
        .arg(QString::fromStdString(files::encodingOf(start.bytes, start.extent)))
        .arg(lines.size())
        .arg(text.lines)
        .toStdString();
}

std::string pictureReport(files::PictureDecoder& pictures, const std::string& path) {
    const files::Picture picture = files::LoadPicture(pictures, path, shownSize);
    if (picture.isEmpty())
        return QCoreApplication::translate("PackCheck", "not shown").toStdString();
    return QCoreApplication::translate("PackCheck", "%1 x %2 pixels, decoded within the budget")
        .arg(picture.size().width())
        .arg(picture.size().height())
        .toStdString();
}

// Read within the game's budgets; what the decoder prints on its own is a damage the game tells.
std::string musicReport(const std::string& path, bool& plays) {
    const sound::SoundLibrary* library = sound::soundLibrary();
    MusicCheck music;
    if (library != nullptr)
        music = library->checkMusic(path);
    else
        music.problem =
            QCoreApplication::translate("PackCheck", "the game's sound library cannot be loaded")
                .toStdString();
    plays = music.problem.empty() && music.loops && music.decoderSaid.empty();
    if (!music.problem.empty())
        return QCoreApplication::translate("PackCheck", "not played (%1)")
                   .arg(QString::fromStdString(music.problem))
                   .toStdString() +
               music.decoderSaid;
    std::string report =
        (music.loops ? QCoreApplication::translate("PackCheck", "%1, %2 s, loops")
                     : QCoreApplication::translate("PackCheck", "%1, %2 s, does not loop"))
            .arg(QString::fromStdString(music.format))
            .arg(music.seconds, 0, 'f', 1)
            .toStdString();
    if (!music.decoderSaid.empty())
        report +=
            QCoreApplication::translate("PackCheck", ", damaged").toStdString() + music.decoderSaid;
    return report;
}

} // namespace

int checkPack(const std::string& folder, files::PictureDecoder& pictures) {
    const std::string root = files::withTrailingSeparator(folder);
    bool complete = true;
    const auto report = [&](const std::string& name, const auto& details) {
        bool found = false;
        std::string line = name + ": " + whereFound(root, name, found);
        if (found)
            line += "; " + details(root + name);
        complete = complete && found;
        std::printf("%s\n", line.c_str());
    };
    for (const Text& text : texts())
        report(text.name, [&](const std::string& path) { return textReport(path, text); });
    for (const std::string& picture : pictureNames())
        report(picture, [&](const std::string& path) { return pictureReport(pictures, path); });
    bool plays = false;
    report(files::pack::music, [&](const std::string& path) { return musicReport(path, plays); });
    return complete && plays && !common::anyFileProblemReported() ? 0 : 1;
}

} // namespace check
