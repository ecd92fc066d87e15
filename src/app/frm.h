// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "media/bgm.h"
#include "media/scene_picture.h"
#include "mood/mood_rules.h"
#include "murmur/murmurs.h"
#include "platform/form.h"
#include "platform/mci.h"
#include "platform/random.h"

#include <string>

namespace app {

// The layout unit: a sixth of the screen width, rounded down.
float layoutUnit(double screenWidthTwips);
// The folder with exactly one trailing separator.
std::string withTrailingSeparator(std::string folder);

// The game's window with its start-up, layout and new game. It shows what the moods tell it: the
// player's bars, the partner's moods in the caption, the scenes and the endings.
class Frm final : public mood::MoodView {
public:
    // `applicationFolder` as the system gives it.
    Frm(std::string applicationFolder, double screenWidthTwips, platform::RandomSource& random,
        platform::MciInterface& mci);

    // Loads the window (start-up runs here) and shows it.
    void show();

    void Form_Load();
    void Form_Activate();
    void Pic_Click();
    void Opt_Click(std::int16_t index);
    void timOpt_Timer();
    void ShowEnding(std::uint8_t n);

    void barChanged(std::uint8_t kind, std::int16_t value, std::int16_t ceiling) override;
    void captionChanged(const std::string& text) override;
    void endingReached(std::uint8_t n) override;

    platform::Form& form() { return form_; }
    mood::MoodRules& moods() { return moods_; }
    const murmur::Murmurs& murmurs() const { return murmurs_; }
    const std::string& appDir() const { return AppDir; }
    const std::string& datDir() const { return DatDir; }
    const std::string& imgDir() const { return ImgDir; }

private:
    void ApplyLayout();
    void LayOutBars();
    void ConnectEvents();

    const std::string applicationFolder_;
    const double screenWidthTwips_;
    platform::RandomSource& random_;
    platform::Form form_;
    platform::ControlArray<platform::OptionButton>& Opt;
    platform::ControlArray<platform::Label>& LblStr;
    platform::ControlArray<platform::Shape>& ShpStr;
    platform::ControlArray<platform::Shape>& ShpBak;
    platform::PictureBox& Pic;
    platform::PictureBox& E;
    platform::Label& LblSay;
    platform::Timer& timOpt;
    platform::Timer& timLbl;
    platform::Timer& BgmTim;
    std::string AppDir;
    std::string DatDir;
    std::string ImgDir;
    media::ScenePicture scene_;
    murmur::Murmurs murmurs_;
    mood::MoodRules moods_;
    media::Bgm bgm_;
};

} // namespace app
