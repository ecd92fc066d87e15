// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "app/frm.h"
#include "scripted_random.h"
#include "silent_mci.h"
#include "test_pictures.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The colours of the test scenes 0-4 and the two ending pictures.
inline const std::vector<QColor> sceneColours = {Qt::red, Qt::green, Qt::blue, Qt::yellow,
                                                 Qt::magenta};
inline const QColor end0Colour = QColor(20, 20, 20);
inline const QColor end1Colour = QColor(0, 128, 128);

// A folder of assets the way a player would put them beside the game.
class AssetFolder {
public:
    AssetFolder() { QDir(dir_.path()).mkdir("img"); }

    std::string path() const { return dir_.path().toStdString(); }

    void writeFile(const std::string& name, const std::string& bytes) const {
        QFile file(dir_.filePath(QString::fromStdString(name)));
        file.open(QIODevice::WriteOnly);
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    void writePicture(const std::string& name, const QImage& image) const {
        image.save(dir_.filePath(QString::fromStdString("img/" + name + ".jpg")), "JPEG", 95);
    }

    // Returns the picture's path.
    std::string writeSolidPicture(const std::string& name, const QColor& colour,
                                  QSize size = {64, 48}) const {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        writePicture(name, image);
        return path() + "/img/" + name + ".jpg";
    }

    // Five scenes, two endings with their texts and fifteen murmurs.
    void writeStandardSet() const {
        for (int k = 0; k < 5; ++k)
            writeSolidPicture(std::to_string(k), sceneColours[static_cast<std::size_t>(k)]);
        writeSolidPicture("end0", end0Colour);
        writeSolidPicture("end1", end1Colour);
        writeFile("end0.txt", "mine one\r\nmine two\r\nmine three\r\n");
        writeFile("end1.txt", "yours one\r\nyours two\r\nyours three\r\n");
        std::string murmurs;
        for (int i = 0; i < 15; ++i)
            murmurs += "murmur " + std::to_string(i) + "\r\n";
        writeFile("dat.txt", murmurs);
    }

private:
    QTemporaryDir dir_;
};

// The game's window on a 1024-pixel-wide screen at 96 DPI, loaded but not shown.
struct LoadedGame {
    LoadedGame(const AssetFolder& assets, std::vector<double> draws, double screenTwips = 15360)
        : random(std::move(draws)),
          frm(assets.path(), screenTwips, random, music, testPictureDecoder()) {
        frm.Form_Load();
    }

    ScriptedRandom random;
    SilentMci music;
    app::Frm frm;
};

// The window's parts, by their names.
inline app::ScenePicture& pic(app::Frm& frm) {
    return *frm.findChild<app::ScenePicture*>("Pic");
}
inline app::MurmurLabel& lblSay(app::Frm& frm) {
    return *frm.findChild<app::MurmurLabel*>("LblSay");
}
inline QList<app::CellRadioButton*> opt(app::Frm& frm) {
    return frm.findChildren<app::CellRadioButton*>();
}
inline QList<app::MoodBar*> bars(app::Frm& frm) {
    QList<app::MoodBar*> found;
    for (QWidget* widget : frm.findChildren<QWidget*>())
        if (auto* bar = dynamic_cast<app::MoodBar*>(widget))
            found.append(bar);
    return found;
}
inline QTimer& timer(app::Frm& frm, const char* name) {
    return *frm.findChild<QTimer*>(name);
}
inline std::string caption(app::Frm& frm) {
    return frm.windowTitle().toStdString();
}

// What the window shows on screen now: its backing store, stale pixels and all.
inline QImage onScreen(QWidget& window) {
    return window.screen()->grabWindow(window.winId()).toImage();
}

// Waits until `shows` holds for what is on screen; true if it came to hold.
inline bool eventuallyShows(QWidget& window, const std::function<bool(const QImage&)>& shows) {
    return QTest::qWaitFor([&] { return shows(onScreen(window)); }, 10000);
}

// The colour of the scene picture, sampled below the murmur line, as painted now.
inline QColor sceneColour(app::Frm& frm) {
    const QImage shot = pic(frm).grab().toImage();
    return shot.pixelColor(shot.width() / 2, shot.height() - 3);
}

inline QColor pixelAt(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// True when two colours differ by at most `tolerance` per channel (JPEG is lossy).
inline bool near(const QColor& a, const QColor& b, int tolerance = 12) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}
