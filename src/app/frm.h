// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "app/controls.h"
#include "common/random.h"
#include "files/picture.h"
#include "mood/mood_rules.h"
#include "murmur/murmurs.h"
#include "music/bgm.h"

#include <QButtonGroup>
#include <QLabel>
#include <QMargins>
#include <QTimer>
#include <QWidget>
#include <array>
#include <string>

namespace app {

// The game's one window: its start-up, layout and new game, the choices, and what it shows of the
// moods. The parts of the window keep the game's own names:
//   Opt(i)     the three ways of thinking, option buttons in one group, in a box named 考え方
//   LblStr(j)  the name of the player's mood bar j: 怒, 哀, 謝りたい
//   ShpStr(j)  the fill of bar j, growing down from the top of its frame
//   ShpBak(j)  the frame of bar j; a MoodBar draws all three parts of a bar
//   Pic        the scene picture; a click on it starts a new night
//   LblSay     the murmur, or the ending's text, over the scene
//   E          the picture last loaded, which Pic shows stretched over itself
//   timOpt     the thinking tick, every 300 ms during a night
//   timLbl     the murmur tick, every second during a night
//   BgmTim     the music's poll, as often as the system allows, for the whole run
class Frm final : public QWidget, public mood::MoodView {
public:
    // `applicationFolder` as the system gives it; the assets lie there.
    Frm(std::string applicationFolder, double screenWidthTwips, common::RandomSource& random,
        music::MciInterface& mci, files::PictureDecoder& pictures);

    // Loads the window (start-up runs here, once) and shows it.
    void showGame();

    void Form_Load();
    void Form_Activate();
    void Pic_Click();
    void Opt_Click(std::int16_t index);
    void timOpt_Timer();
    void timLbl_Timer();
    void ShowPicture(const std::string& name);
    void ShowEnding(std::uint8_t n);

    void barChanged(std::uint8_t kind, std::int16_t value) override;
    void captionChanged(const std::string& text) override;
    void endingReached(std::uint8_t n) override;

    mood::MoodRules& moods() { return moods_; }
    const murmur::Murmurs& murmurs() const { return murmurs_; }

protected:
    bool event(QEvent* event) override;

private:
    void ApplyLayout();
    void placeControls();
    void fitDrawingAreaToOuterSize();
    void frameMayHaveChanged();
    void activateOnce();

    const std::string applicationFolder_;
    const double screenWidthTwips_;
    common::RandomSource& random_;
    files::PictureDecoder& pictures_;
    ScenePicture* Pic;
    MurmurLabel* LblSay;
    QWidget* optBox_;
    std::array<CellRadioButton*, 3> Opt;
    QButtonGroup optGroup_;
    std::array<MoodBar*, 3> bars_;
    // The caption's numbers in words, for screen readers: an empty label that draws nothing.
    QLabel* readout_;
    files::Picture E;
    QTimer timOpt;
    QTimer timLbl;
    QTimer BgmTim;
    std::string AppDir;
    std::string DatDir;
    std::string ImgDir;
    murmur::Murmurs murmurs_;
    mood::MoodRules moods_;
    music::Bgm bgm_;
    QSize outerSize_;
    QMargins frame_;
    bool loaded_ = false;
    bool activated_ = false;
};

} // namespace app
