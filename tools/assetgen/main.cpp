// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// sorawata-assetgen: draws the default pictures and composes the background
// music of Sorawata. Usage: sorawata-assetgen <build folder>
//
// Into <build folder>/generated: icon.png and opening.jpg, compiled into the
// game. Into <build folder> itself, beside the game: img/*.jpg and bgm.wav.
// Into <build folder>/generated/hicolor: the icon at each size the desktop
// installs, as <size>x<size>/apps/sorawata.png.

#include "icon.h"
#include "music.h"
#include "scenes.h"
#include "sketch.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

namespace {

struct Scene {
    const char* file;
    QImage (*draw)();
};

const Scene kScenes[] = {
    {"img/0.jpg", drawDarkWindow},     {"img/1.jpg", drawSilentPhone},
    {"img/2.jpg", drawTwoCups},        {"img/3.jpg", drawClosedDoor},
    {"img/4.jpg", drawBlanketOnSofa},  {"img/end0.jpg", drawReachingForPhone},
    {"img/end1.jpg", drawDoorOpening},
};

bool writeBuiltIns(const QDir& generated) {
    if (!drawIcon().save(generated.filePath("icon.png"), "png")) {
        std::fprintf(stderr, "sorawata-assetgen: cannot write icon.png\n");
        return false;
    }
    return saveJpeg(drawOpening(), generated.filePath("opening.jpg"));
}

bool writeThemeIcons(const QDir& generated) {
    for (const int size : kThemeIconSizes) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        if (!generated.mkpath(folder) ||
            !drawIcon(size).save(generated.filePath(folder + "/sorawata.png"), "png")) {
            std::fprintf(stderr, "sorawata-assetgen: cannot write the %dx%d icon\n", size, size);
            return false;
        }
    }
    return true;
}

bool writeScenes(const QDir& root) {
    for (const Scene& scene : kScenes) {
        if (!saveJpeg(scene.draw(), root.filePath(scene.file))) {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // Nothing is shown on screen, so no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: sorawata-assetgen <build folder>\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    if (!root.mkpath("generated") || !root.mkpath("img")) {
        std::fprintf(stderr, "sorawata-assetgen: cannot create folders in %s\n", argv[1]);
        return 1;
    }
    const bool written =
        writeBuiltIns(QDir(root.filePath("generated"))) &&
        writeThemeIcons(QDir(root.filePath("generated"))) && writeScenes(root) &&
        writeWav(root.filePath("bgm.wav").toStdString(), composeMusic(), kMusicSampleRate);
    return written ? 0 : 1;
}
