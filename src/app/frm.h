#pragma once

#include "media/bgm.h"
#include "media/scene_picture.h"
#include "mood/mood_game.h"
#include "murmur/murmurs.h"
#include "platform/form.h"
#include "platform/mci.h"
#include "platform/random.h"

#include <string>

namespace app {

// What start-up reads from the machine it runs on.
struct Surroundings {
    std::string applicationFolder; // as the system gives it
    double screenWidthTwips = 0;
};

// The layout unit: a sixth of the screen width, rounded down.
float layoutUnit(double screenWidthTwips);
// The folder with exactly one trailing separator.
std::string withTrailingSeparator(std::string folder);

// The game's window with its start-up, layout and new game, wired to the
// moods, the murmurs and the media.
class Frm {
public:
    Frm(Surroundings surroundings, platform::RandomSource& random, platform::MciInterface& mci);

    // Loads the window (start-up runs here) and shows it.
    void show();

    void Form_Load();
    void Form_Activate();
    void Pic_Click();

    platform::Form& form() { return form_; }
    mood::MoodGame& moods() { return moods_; }
    murmur::Murmurs& murmurs() { return murmurs_; }
    media::Bgm& bgm() { return bgm_; }

    std::string AppDir;
    std::string DatDir;
    std::string ImgDir;

private:
    void ApplyLayout();
    void LayOutBars();
    void ConnectEvents();

    Surroundings surroundings_;
    platform::RandomSource& random_;
    platform::Form form_;
    platform::ControlArray<platform::OptionButton>& Opt;
    platform::ControlArray<platform::Label>& LblStr;
    platform::ControlArray<platform::Shape>& ShpStr;
    platform::ControlArray<platform::Shape>& ShpBak;
    platform::PictureBox& Pic;
    platform::PictureBox& E;
    platform::Label& LblSay;
    media::ScenePicture scene_;
    murmur::Murmurs murmurs_;
    mood::MoodGame moods_;
    media::Bgm bgm_;
};

} // namespace app
