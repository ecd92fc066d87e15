#pragma once

#include "media/scene_picture.h"
#include "mood/mood_table.h"
#include "platform/control_array.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/random.h"
#include "platform/timer.h"

#include <cstdint>
#include <string>

namespace mood {

// The controls of the window that the moods drive.
struct MoodControls {
    platform::Form& Frm;
    platform::ControlArray<platform::OptionButton>& Opt;
    platform::ControlArray<platform::Shape>& ShpStr;
    platform::ControlArray<platform::Shape>& ShpBak;
    platform::Label& LblSay;
    platform::Timer& timOpt;
    platform::Timer& timLbl;
};

// The night's thinking: the way of thinking chosen, the moods it moves every
// tick, the player's bars, and the two endings.
class MoodGame {
public:
    // `datDir` is read when an ending shows, so it may be filled in later.
    MoodGame(MoodControls controls, platform::RandomSource& random, media::ScenePicture& scene,
             const std::string& datDir);

    void Opt_Click(std::int16_t index);
    void timOpt_Timer();
    void AddMoodWithApology(std::uint8_t who, std::uint8_t kind, std::int16_t delta);
    void AddMood(std::uint8_t who, std::uint8_t kind, std::int16_t delta);
    void ShowEnding(std::uint8_t n);

    MoodTable Mood;
    std::uint8_t SelOpt = 0;

private:
    void RedrawBar(std::uint8_t kind, std::int16_t ceiling);
    void TestEnding(std::int16_t ceiling);
    std::string ReadEndingText(const std::string& path);
    void UpdateCaption();

    MoodControls c_;
    platform::RandomSource& random_;
    media::ScenePicture& scene_;
    const std::string& DatDir;
};

} // namespace mood
