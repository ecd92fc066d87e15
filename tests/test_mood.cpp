#include "game_world.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

using mood::Anger;
using mood::Partner;
using mood::Player;
using mood::Sorrow;
using mood::WishToApologise;

namespace {

// r values that make a draw from n give exactly `value`.
double drawing(int value, int n) {
    return (value + 0.5) / n;
}

// A game with the standard assets, started (new game) with scene 0.
struct StartedGame {
    explicit StartedGame(std::vector<double> draws) : game(makeAssets(), withFirstScene(draws)) {
        game.frm.Form_Activate();
    }

    static const AssetFolder& makeAssets() {
        static AssetFolder* assets = [] {
            auto* folder = new AssetFolder;
            folder->writeStandardSet();
            return folder;
        }();
        return *assets;
    }

    static std::vector<double> withFirstScene(std::vector<double> draws) {
        draws.insert(draws.begin(), drawing(0, 5));
        return draws;
    }

    mood::MoodGame& moods() { return game.frm.moods(); }
    platform::Form& form() { return game.frm.form(); }
    std::string say() { return form().label("LblSay").caption(); }
    QColor sceneColour() { return ::sceneColour(game.frm); }

    LoadedGame game;
};

} // namespace

// Moods stay between 0 and their ceilings: 200 for anger and sorrow.
TEST(AddMood, ClampsToZeroAndTheCeiling) {
    StartedGame g({});
    g.moods().Mood(Player, Anger) = 195;
    g.moods().AddMood(Player, Anger, 9);
    EXPECT_EQ(g.moods().Mood(Player, Anger), 200);
    g.moods().AddMood(Player, Anger, 0);
    EXPECT_EQ(g.moods().Mood(Player, Anger), 200);
    g.moods().Mood(Player, Sorrow) = 3;
    g.moods().AddMood(Player, Sorrow, -9);
    EXPECT_EQ(g.moods().Mood(Player, Sorrow), 0);
    g.moods().Mood(Partner, WishToApologise) = 95;
    g.moods().AddMood(Partner, WishToApologise, 0);
    EXPECT_EQ(g.moods().Mood(Partner, WishToApologise), 80);
}

// Anger and sorrow at their ceiling never end the game.
TEST(AddMood, FullAngerOrSorrowEndsNothing) {
    StartedGame g({});
    g.moods().Mood(Player, Anger) = 200;
    g.moods().Mood(Partner, Sorrow) = 200;
    g.moods().AddMood(Player, Anger, 5);
    g.moods().AddMood(Partner, Sorrow, 5);
    EXPECT_TRUE(g.form().timer("timOpt").enabled());
}

// The wish to apologise is sorrow minus anger, clamped to 0..80.
TEST(AddMoodWithApology, DerivesTheWishFromSorrowAndAnger) {
    StartedGame g({});
    mood::MoodGame& m = g.moods();
    m.Mood(Player, Sorrow) = 50;
    m.Mood(Player, Anger) = 120;
    m.AddMoodWithApology(Player, Anger, 0);
    EXPECT_EQ(m.Mood(Player, WishToApologise), 0);

    m.Mood(Player, Sorrow) = 150;
    m.Mood(Player, Anger) = 100;
    m.AddMoodWithApology(Player, Anger, 0);
    EXPECT_EQ(m.Mood(Player, WishToApologise), 50);
    EXPECT_TRUE(g.form().timer("timOpt").enabled());

    m.Mood(Player, Sorrow) = 190;
    m.Mood(Player, Anger) = 105;
    m.AddMoodWithApology(Player, Anger, 0);
    EXPECT_EQ(m.Mood(Player, WishToApologise), 80);
    EXPECT_FALSE(g.form().timer("timOpt").enabled());
    EXPECT_EQ(g.say(), "\r\nmine one\r\nmine two\r\nmine three");
}

// Lowering anger raises the wish in the same call.
TEST(AddMoodWithApology, UsesTheValueJustClamped) {
    StartedGame g({});
    mood::MoodGame& m = g.moods();
    m.Mood(Partner, Sorrow) = 40;
    m.Mood(Partner, Anger) = 5;
    m.AddMoodWithApology(Partner, Anger, -9);
    EXPECT_EQ(m.Mood(Partner, Anger), 0);
    EXPECT_EQ(m.Mood(Partner, WishToApologise), 40);
}

// Each way of thinking tests the player's mood strictly: 100 takes the other column.
TEST(ThinkingTick, OptionRulesAtTheirThresholds) {
    struct Case {
        std::uint8_t option;
        std::uint8_t testedKind;
        std::int16_t testedValue;
        std::uint8_t changedKind;
        int delta;
        std::uint8_t partnerKind;
        int partnerDraws;
    };
    const Case cases[] = {
        {0, Anger, 100, Anger, 7, Anger, 10},   {0, Anger, 101, Sorrow, 7, Anger, 10},
        {1, Sorrow, 100, Sorrow, 7, Sorrow, 5}, {1, Sorrow, 101, Anger, 7, Sorrow, 5},
        {2, Anger, 100, Anger, 7, Sorrow, 5},   {2, Anger, 101, Anger, -7, Sorrow, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "option " << int(c.option) << " at " << c.testedValue);
        StartedGame g({drawing(7, 10), drawing(3, c.partnerDraws)});
        mood::MoodGame& m = g.moods();
        m.SelOpt = c.option;
        m.Mood(Player, c.testedKind) = c.testedValue;
        const std::int16_t before = m.Mood(Player, c.changedKind);
        m.timOpt_Timer();
        EXPECT_EQ(m.Mood(Player, c.changedKind), before + c.delta);
        EXPECT_EQ(m.Mood(Partner, c.partnerKind), 3);
        EXPECT_EQ(g.game.random.remaining(), 0u);
    }
}

// Thinking back calms anger above 100 by 0 to 9, never by 10.
TEST(ThinkingTick, RememberingNeverDropsAngerByTen) {
    StartedGame g({0.99999, 0.0});
    g.moods().SelOpt = 2;
    g.moods().Mood(Player, Anger) = 105;
    g.moods().timOpt_Timer();
    EXPECT_EQ(g.moods().Mood(Player, Anger), 96);
}

// The caption shows the partner's anger, sorrow and wish, each followed by "_".
TEST(ThinkingTick, CaptionShowsThePartner) {
    StartedGame g({drawing(0, 10), drawing(7, 10)});
    g.moods().Mood(Partner, Anger) = 30;
    g.moods().Mood(Partner, Sorrow) = 12;
    g.moods().timOpt_Timer();
    EXPECT_EQ(g.form().caption(), "37_12_0_");
}

// When both wishes reach 80, the partner's ending is the one shown.
TEST(Endings, ThePartnersEndingComesFirst) {
    StartedGame g({});
    g.moods().Mood(Player, WishToApologise) = 80;
    g.moods().Mood(Partner, WishToApologise) = 80;
    g.moods().AddMood(Player, WishToApologise, 0);
    EXPECT_EQ(g.say(), "\r\nyours one\r\nyours two\r\nyours three");
    EXPECT_TRUE(near(g.sceneColour(), end1Colour));
}

// Both endings in one tick: the partner's, shown last, stays on screen.
TEST(Endings, BothInOneTickLeaveThePartners) {
    StartedGame g({drawing(5, 10), drawing(4, 5)});
    mood::MoodGame& m = g.moods();
    m.SelOpt = 1;
    m.Mood(Player, Sorrow) = 75;
    m.Mood(Partner, Sorrow) = 76;
    m.timOpt_Timer();
    EXPECT_EQ(m.Mood(Player, WishToApologise), 80);
    EXPECT_EQ(m.Mood(Partner, WishToApologise), 80);
    EXPECT_EQ(g.say(), "\r\nyours one\r\nyours two\r\nyours three");
    EXPECT_TRUE(near(g.sceneColour(), end1Colour));
    EXPECT_EQ(g.form().caption(), "0_80_80_") << "the tick still finishes";
    EXPECT_FALSE(g.form().timer("timLbl").enabled());
}

// An ending text shows its first three lines after a leading line break.
TEST(Endings, TextTakesTheFirstThreeLines) {
    AssetFolder assets;
    assets.writeStandardSet();
    assets.writeFile("end0.txt", "one\r\n\r\nthree\r\nfour\r\n");
    assets.writeFile("end1.txt", "a\r\nb\r\nlast without break");
    LoadedGame game(assets, {drawing(0, 5)});
    game.frm.Form_Activate();
    game.frm.moods().ShowEnding(0);
    EXPECT_EQ(game.frm.form().label("LblSay").caption(), "\r\none\r\n\r\nthree");
    game.frm.moods().ShowEnding(1);
    EXPECT_EQ(game.frm.form().label("LblSay").caption(), "\r\na\r\nb\r\nlast without break");
}

// A missing or short ending text still stops the game on its picture.
TEST(Endings, MissingOrShortTextStillEnds) {
    AssetFolder assets;
    assets.writeStandardSet();
    assets.writeFile("end0.txt", "only one");
    QFile::remove(QString::fromStdString(assets.path() + "/end1.txt"));
    LoadedGame game(assets, {drawing(0, 5)});
    game.frm.Form_Activate();
    testing::internal::CaptureStderr();
    game.frm.moods().ShowEnding(0);
    game.frm.moods().ShowEnding(1);
    game.frm.moods().ShowEnding(1);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;
    EXPECT_EQ(game.frm.form().label("LblSay").caption(), "");
    EXPECT_FALSE(game.frm.form().timer("timOpt").enabled());
}

// Bars fill from the frame's top edge: empty at 0, half at half, full at the ceiling.
TEST(Bars, HeightFollowsTheValue) {
    StartedGame g({});
    platform::Shape& frame = g.form().shapes("ShpBak")(0);
    platform::Shape& fill = g.form().shapes("ShpStr")(0);
    EXPECT_EQ(fill.pixelRect().height(), 0);
    g.moods().Mood(Player, Anger) = 100;
    g.moods().AddMood(Player, Anger, 0);
    EXPECT_EQ(fill.pixelRect().top(), frame.pixelRect().top());
    EXPECT_NEAR(fill.pixelRect().height(), frame.pixelRect().height() / 2.0, 1);
    g.moods().AddMood(Player, Anger, 150);
    EXPECT_EQ(fill.pixelRect(), frame.pixelRect());
    g.moods().Mood(Player, WishToApologise) = 40;
    g.moods().AddMood(Player, WishToApologise, 0);
    EXPECT_NEAR(g.form().shapes("ShpStr")(2).pixelRect().height(),
                g.form().shapes("ShpBak")(2).pixelRect().height() / 2.0, 1);
}

// The partner's moods never touch the player's bars.
TEST(Bars, PartnerLeavesThemAlone) {
    StartedGame g({});
    g.moods().AddMood(Partner, Anger, 9);
    EXPECT_EQ(g.form().shapes("ShpStr")(0).pixelRect().height(), 0);
}

// A choice marks the option and shows one of the five scenes.
TEST(Choices, ShowADrawnScene) {
    StartedGame g({drawing(3, 5)});
    g.moods().Opt_Click(2);
    EXPECT_EQ(g.moods().SelOpt, 2);
    EXPECT_TRUE(g.form().optionButtons("Opt")(2).value());
    EXPECT_FALSE(g.form().optionButtons("Opt")(0).value());
    EXPECT_TRUE(near(g.sceneColour(), sceneColours[3]));
}

// Every choice reads its scene anew: a picture replaced while the game runs shows as it is now.
TEST(Choices, ReadTheSceneFileEveryTime) {
    AssetFolder assets;
    assets.writeStandardSet();
    LoadedGame game(assets, {drawing(3, 5), drawing(3, 5)});
    game.frm.moods().Opt_Click(1);
    EXPECT_TRUE(near(sceneColour(game.frm), sceneColours[3]));
    assets.writeSolidPicture("3", Qt::cyan);
    game.frm.moods().Opt_Click(1);
    EXPECT_TRUE(near(sceneColour(game.frm), Qt::cyan));
}

// A new game resets everything, during play and after an ending.
TEST(NewGame, ResetsDuringPlayAndAfterAnEnding) {
    StartedGame g({drawing(2, 5), drawing(4, 5)});
    mood::MoodGame& m = g.moods();
    m.Opt_Click(2);
    m.Mood(Player, Anger) = 150;
    m.AddMood(Player, Anger, 0);
    m.Mood(Partner, WishToApologise) = 80;
    m.AddMood(Partner, WishToApologise, 0);
    ASSERT_FALSE(g.form().timer("timOpt").enabled());

    g.game.frm.Pic_Click();
    for (std::uint8_t kind = 0; kind <= 2; ++kind) {
        EXPECT_EQ(m.Mood(Player, kind), 0);
        EXPECT_EQ(m.Mood(Partner, kind), 0);
        EXPECT_EQ(g.form().shapes("ShpStr")(kind).pixelRect().height(), 0);
    }
    EXPECT_EQ(m.SelOpt, 0);
    EXPECT_TRUE(g.form().optionButtons("Opt")(0).value());
    EXPECT_TRUE(g.form().timer("timOpt").enabled());
    EXPECT_TRUE(g.form().timer("timLbl").enabled());
    EXPECT_EQ(g.say(), "Sorawata");
    EXPECT_TRUE(near(g.sceneColour(), sceneColours[4]));
}

// A new game in the middle of one starts both timers afresh: the title stays a whole second and
// the first tick comes 300 ms after the click, with real timers and the event loop running.
TEST(NewGame, MidGameRestartsTheTimers) {
    AssetFolder assets;
    assets.writeStandardSet();
    LoadedGame game(assets, std::vector<double>(100, 0.5));
    game.frm.Form_Activate();
    QTest::qWait(400);
    game.frm.form().setCaption("before the click");
    QElapsedTimer sinceClick;
    sinceClick.start();
    game.frm.Pic_Click();
    qint64 titleReplaced = -1;
    qint64 captionWritten = -1;
    while ((titleReplaced < 0 || captionWritten < 0) && sinceClick.elapsed() < 5000) {
        QTest::qWait(2);
        if (titleReplaced < 0 && game.frm.form().label("LblSay").caption() != "Sorawata")
            titleReplaced = sinceClick.elapsed();
        if (captionWritten < 0 && game.frm.form().caption() != "before the click")
            captionWritten = sinceClick.elapsed();
    }
    EXPECT_GE(titleReplaced, 1000);
    EXPECT_GE(captionWritten, 300);
}

// Every one of the fifteen murmurs can be drawn.
TEST(Murmurs, DrawsCoverAllFifteenLines) {
    std::vector<double> draws;
    for (int i = 0; i < 15; ++i) {
        draws.push_back(i / 15.0);
    }
    draws.push_back(0.99999);
    StartedGame g(draws);
    for (int i = 0; i < 15; ++i) {
        g.game.frm.murmurs().timLbl_Timer();
        EXPECT_EQ(g.say(), "murmur " + std::to_string(i));
    }
    g.game.frm.murmurs().timLbl_Timer();
    EXPECT_EQ(g.say(), "murmur 14");
}

// A short dat.txt still starts: missing murmurs are empty, with one complaint.
TEST(Murmurs, ShortFileLeavesEmptyMurmurs) {
    AssetFolder assets;
    assets.writeStandardSet();
    assets.writeFile("dat.txt", "first\r\nsecond\r\nthird");
    testing::internal::CaptureStderr();
    LoadedGame game(assets, {});
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("dat.txt"), std::string::npos);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_EQ(game.frm.murmurs().Lines[2], "third");
    EXPECT_EQ(game.frm.murmurs().Lines[3], "");
}

// An absurdly long ending line is cut to its first 4096 characters, between whole characters.
TEST(Endings, LongLineIsCut) {
    AssetFolder assets;
    assets.writeStandardSet();
    std::string longLine;
    for (int i = 0; i < 5000; ++i) {
        longLine += "夜";
    }
    assets.writeFile("end0.txt", longLine + "\r\nb\r\nc\r\n");
    LoadedGame game(assets, {drawing(0, 5)});
    game.frm.Form_Activate();
    testing::internal::CaptureStderr();
    game.frm.moods().ShowEnding(0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("end0.txt"), std::string::npos);
    std::string expected = "\r\n";
    for (int i = 0; i < 4096; ++i) {
        expected += "夜";
    }
    EXPECT_EQ(game.frm.form().label("LblSay").caption(), expected + "\r\nb\r\nc");
}
