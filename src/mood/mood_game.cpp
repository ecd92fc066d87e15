#include "mood/mood_game.h"

#include "platform/text_file.h"

namespace mood {

namespace {

// An ending line is one line of the label; a longer one would only stall drawing it.
constexpr std::size_t MaxEndingLineCharacters = 4096;

constexpr std::int16_t ceilingOf(std::uint8_t kind) {
    return kind == WishToApologise ? 80 : 200;
}

} // namespace

MoodGame::MoodGame(MoodControls controls, platform::RandomSource& random,
                   media::ScenePicture& scene, const std::string& datDir)
    : c_(controls), random_(random), scene_(scene), DatDir(datDir) {}

// --- Choosing a way of thinking ---------------------------------------------

void MoodGame::Opt_Click(std::int16_t index) {
    SelOpt = static_cast<std::uint8_t>(index);
    c_.Opt(index).setValue(true);
    const int k = platform::drawFrom(random_, 5);
    scene_.ShowPicture(static_cast<float>(k));
}

// --- The thinking tick --------------------------------------------------------

// Each way of thinking moves one of the player's moods, chosen by how the
// player feels now, and one of the partner's.
void MoodGame::timOpt_Timer() {
    switch (SelOpt) {
    case 0: {
        const bool angry = Mood(Player, Anger) > 100;
        const auto change = static_cast<std::int16_t>(platform::drawFrom(random_, 10));
        AddMoodWithApology(Player, angry ? Sorrow : Anger, change);
        AddMoodWithApology(Partner, Anger,
                           static_cast<std::int16_t>(platform::drawFrom(random_, 10)));
        break;
    }
    case 1: {
        const bool sad = Mood(Player, Sorrow) > 100;
        const auto change = static_cast<std::int16_t>(platform::drawFrom(random_, 10));
        AddMoodWithApology(Player, sad ? Anger : Sorrow, change);
        AddMoodWithApology(Partner, Sorrow,
                           static_cast<std::int16_t>(platform::drawFrom(random_, 5)));
        break;
    }
    case 2: {
        const bool angry = Mood(Player, Anger) > 100;
        const auto draw = static_cast<std::int16_t>(platform::drawFrom(random_, 10));
        AddMoodWithApology(Player, Anger, angry ? static_cast<std::int16_t>(-draw) : draw);
        AddMoodWithApology(Partner, Sorrow,
                           static_cast<std::int16_t>(platform::drawFrom(random_, 5)));
        break;
    }
    default:
        break;
    }
    UpdateCaption();
}

void MoodGame::UpdateCaption() {
    c_.Frm.setCaption(std::to_string(Mood(Partner, Anger)) + "_" +
                      std::to_string(Mood(Partner, Sorrow)) + "_" +
                      std::to_string(Mood(Partner, WishToApologise)) + "_");
}

// --- Moods ----------------------------------------------------------------------

// The wish to apologise follows sorrow minus anger.
void MoodGame::AddMoodWithApology(std::uint8_t who, std::uint8_t kind, std::int16_t delta) {
    AddMood(who, kind, delta);
    Mood(who, WishToApologise) = checkedSubtract(Mood(who, Sorrow), Mood(who, Anger));
    AddMood(who, WishToApologise, 0);
}

void MoodGame::AddMood(std::uint8_t who, std::uint8_t kind, std::int16_t delta) {
    const std::int16_t c = ceilingOf(kind);
    const std::int16_t s = checkedAdd(Mood(who, kind), delta);
    if (s < 0) {
        Mood(who, kind) = 0;
    } else if (s > c) {
        Mood(who, kind) = c;
    } else {
        Mood(who, kind) = s;
    }
    if (who == Player) {
        RedrawBar(kind, c);
    }
    TestEnding(c);
}

// A bar fills its frame from the top edge down, full at the ceiling.
void MoodGame::RedrawBar(std::uint8_t kind, std::int16_t ceiling) {
    const platform::Shape& frame = c_.ShpBak(kind);
    const auto h = static_cast<float>(frame.height() / ceiling * Mood(Player, kind));
    c_.ShpStr(kind).move(frame.left(), frame.top(), frame.width(), h);
}

// --- Endings --------------------------------------------------------------------

// The partner's wish is looked at first.
void MoodGame::TestEnding(std::int16_t ceiling) {
    if (Mood(Partner, WishToApologise) >= ceiling) {
        ShowEnding(1);
    } else if (Mood(Player, WishToApologise) >= ceiling) {
        ShowEnding(0);
    }
}

void MoodGame::ShowEnding(std::uint8_t n) {
    c_.timLbl.setEnabled(false);
    c_.timOpt.setEnabled(false);
    scene_.ShowPicture("end" + std::to_string(n));
    c_.LblSay.setCaption(ReadEndingText(DatDir + "end" + std::to_string(n) + ".txt"));
}

// The text starts with a line break and holds the file's first three lines.
std::string MoodGame::ReadEndingText(const std::string& path) {
    std::string text;
    for (const std::string& line : platform::readFirstLines(path, 3, MaxEndingLineCharacters))
        text += "\r\n" + line;
    return text;
}

} // namespace mood
