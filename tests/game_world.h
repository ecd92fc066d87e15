// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "app/frm.h"
#include "scripted_random.h"
#include "silent_mci.h"
#include "test_files.h"
#include "test_pictures.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

inline const std::vector<QColor> sceneColours = {colour::scene0, colour::scene1, colour::scene2,
                                                 colour::scene3, colour::scene4};

// A folder of assets the way a player would put them beside the game.
class AssetFolder {
public:
    std::string path() const { return dir_.path().toStdString(); }
    std::string path(const std::string& name) const { return path() + "/" + name; }

    void writeFile(const std::string& name, const std::string& bytes = "") const {
        test_files::writeFile(path(name), bytes);
    }

    // Returns the picture's path.
    std::string writeSolidPicture(const std::string& name, const QColor& colour,
                                  QSize size = {64, 48}) const {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        QDir(dir_.path()).mkdir("img");
        image.save(QString::fromStdString(path("img/" + name + ".jpg")), "JPEG", 95);
        return path("img/" + name + ".jpg");
    }

    // Five scenes, two endings with their texts and fifteen murmurs.
    void writeStandardSet() const {
        for (int k = 0; k < 5; ++k)
            writeSolidPicture(std::to_string(k), sceneColours[static_cast<std::size_t>(k)]);
        writeSolidPicture("end0", colour::end0);
        writeSolidPicture("end1", colour::end1);
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

// The standard set, written once for the tests that do not change it.
inline const AssetFolder& standardAssets() {
    static const AssetFolder* assets = [] {
        auto* folder = new AssetFolder;
        folder->writeStandardSet();
        return folder;
    }();
    return *assets;
}

// How far a test game gets before the test takes over.
enum class Opening {
    Loaded,     // start-up has run; not shown, no night begun
    Started,    // loaded and a new game begun (one draw for its scene), not shown
    Shown,      // shown as a player sees it: the first night begun, its timers running
    ShownStill, // shown and active, its timers stopped so that only the test's actions draw
};

// The game's window on a 1024-pixel-wide screen at 96 DPI over `assets`, drawing `draws` in turn.
struct Game {
    Game(const AssetFolder& assets, std::vector<double> draws, Opening opening = Opening::Loaded,
         double screenTwips = 15360, files::PictureDecoder& pictures = testPictureDecoder())
        : random(std::move(draws)), frm(assets.path(), screenTwips, random, music, pictures) {
        if (opening == Opening::Loaded || opening == Opening::Started)
            frm.Form_Load();
        if (opening == Opening::Started)
            frm.Form_Activate();
        if (opening == Opening::Shown || opening == Opening::ShownStill)
            frm.showGame();
        if (opening == Opening::ShownStill) {
            frm.findChild<QTimer*>("timOpt")->stop();
            frm.findChild<QTimer*>("timLbl")->stop();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&frm));
        }
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

// The colour of the scene picture, sampled below the murmur line, once it has arrived.
inline QColor sceneColour(app::Frm& frm) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return !pic(frm).pictureOnItsWay(); }, 10000));
    const QImage shot = pic(frm).grab().toImage();
    return shot.pixelColor(shot.width() / 2, shot.height() - 3);
}
