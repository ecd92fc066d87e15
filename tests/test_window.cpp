// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// The window's side of the game: what it makes of the moods' news (the bars, the caption, the
// scenes and the endings), the choices and the new game.

#include "game_world.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace {

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

    app::Frm& frm() { return game.frm; }
    platform::Form& form() { return game.frm.form(); }
    std::string say() { return form().label("LblSay").caption(); }
    QColor sceneColour() { return ::sceneColour(game.frm); }

    LoadedGame game;
};

} // namespace

// A bar fills its frame from the top edge down: empty at 0, half at half, full at the ceiling.
TEST(Bars, HeightFollowsTheValue) {
    struct Case {
        std::uint8_t kind;
        std::int16_t value;
        std::int16_t ceiling;
        double share;
    };
    const Case cases[] = {{0, 0, 200, 0},   {0, 100, 200, 0.5}, {1, 200, 200, 1},
                          {2, 40, 80, 0.5}, {2, 80, 80, 1},     {2, 0, 80, 0}};
    StartedGame g({});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bar " << int(c.kind) << " at " << c.value);
        g.frm().barChanged(c.kind, c.value, c.ceiling);
        const QRect frame = g.form().shapes("ShpBak")(c.kind).pixelRect();
        const QRect fill = g.form().shapes("ShpStr")(c.kind).pixelRect();
        EXPECT_EQ(fill.top(), frame.top());
        EXPECT_EQ(fill.left(), frame.left());
        EXPECT_EQ(fill.width(), frame.width());
        EXPECT_NEAR(fill.height(), frame.height() * c.share, 1);
        if (c.share == 1) {
            EXPECT_EQ(fill, frame);
        }
    }
}

// Through the window's own tick: both endings in one tick leave the partner's picture and text,
// the tick still writes the caption, and both game timers stop.
TEST(ThinkingTick, BothEndingsInOneTickLeaveThePartners) {
    StartedGame g({drawing(1, 5), drawing(5, 10), drawing(4, 5)});
    g.frm().Opt_Click(1);
    g.frm().moods().AddMood(mood::Player, mood::Sorrow, 75);
    g.frm().moods().AddMood(mood::Partner, mood::Sorrow, 76);
    g.frm().timOpt_Timer();
    EXPECT_EQ(g.say(), "\r\nyours one\r\nyours two\r\nyours three");
    EXPECT_TRUE(near(g.sceneColour(), end1Colour));
    EXPECT_EQ(g.form().caption(), "0_80_80_");
    EXPECT_FALSE(g.form().timer("timOpt").enabled());
    EXPECT_FALSE(g.form().timer("timLbl").enabled());
    EXPECT_EQ(g.form().shapes("ShpStr")(2).pixelRect(), g.form().shapes("ShpBak")(2).pixelRect());
}

// An ending stops the game on its picture and shows the first three lines of its text after a
// leading line break, each cut to 4096 characters; a missing, short or cut file is reported once.
TEST(Endings, ShowThePictureAndTheFirstThreeLines) {
    const std::string night = [] {
        std::string text;
        for (int i = 0; i < 5000; ++i)
            text += "夜";
        return text;
    }();
    const std::string cut = night.substr(0, 4096 * std::string("夜").size());
    struct Case {
        const char* what;
        std::optional<std::string> file;
        std::string shown;
        bool reported;
    };
    const Case cases[] = {
        {"four lines", "one\r\n\r\nthree\r\nfour\r\n", "\r\none\r\n\r\nthree", false},
        {"no break after the last", "a\r\nb\r\nlast", "\r\na\r\nb\r\nlast", false},
        {"a long line", night + "\r\nb\r\nc\r\n", "\r\n" + cut + "\r\nb\r\nc", true},
        {"one line", "only one", "\r\nonly one", true},
        {"no file", std::nullopt, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AssetFolder assets;
        assets.writeStandardSet();
        if (c.file) {
            assets.writeFile("end0.txt", *c.file);
        } else {
            QFile::remove(QString::fromStdString(assets.path() + "/end0.txt"));
        }
        LoadedGame game(assets, {drawing(0, 5)});
        game.frm.Form_Activate();
        testing::internal::CaptureStderr();
        game.frm.ShowEnding(0);
        game.frm.ShowEnding(0);
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_EQ(game.frm.form().label("LblSay").caption(), c.shown);
        EXPECT_TRUE(near(sceneColour(game.frm), end0Colour));
        EXPECT_FALSE(game.frm.form().timer("timOpt").enabled());
        EXPECT_FALSE(game.frm.form().timer("timLbl").enabled());
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), c.reported ? 1 : 0) << errors;
    }
}

// A choice marks the option and shows the scene drawn for it, read anew from its file every time:
// a picture replaced while the game runs shows as it is now.
TEST(Choices, MarkTheOptionAndShowTheDrawnSceneAsItIsNow) {
    AssetFolder assets;
    assets.writeStandardSet();
    LoadedGame game(assets, {drawing(3, 5), drawing(3, 5)});
    platform::ControlArray<platform::OptionButton>& opt = game.frm.form().optionButtons("Opt");
    game.frm.Opt_Click(2);
    EXPECT_EQ(game.frm.moods().selectedOption(), 2);
    EXPECT_TRUE(opt(2).value());
    EXPECT_FALSE(opt(0).value());
    EXPECT_TRUE(near(sceneColour(game.frm), sceneColours[3]));
    assets.writeSolidPicture("3", Qt::cyan);
    game.frm.Opt_Click(1);
    EXPECT_TRUE(opt(1).value());
    EXPECT_TRUE(near(sceneColour(game.frm), Qt::cyan));
}

// A new game resets everything, during play and after an ending.
TEST(NewGame, ResetsDuringPlayAndAfterAnEnding) {
    StartedGame g({drawing(2, 5), drawing(4, 5)});
    g.frm().Opt_Click(2);
    g.frm().moods().AddMood(mood::Player, mood::Anger, 150);
    g.frm().moods().AddMood(mood::Partner, mood::WishToApologise, 80);
    ASSERT_FALSE(g.form().timer("timOpt").enabled());

    g.frm().Pic_Click();
    for (std::uint8_t kind = 0; kind <= 2; ++kind) {
        EXPECT_EQ(g.frm().moods().mood(mood::Player, kind), 0);
        EXPECT_EQ(g.frm().moods().mood(mood::Partner, kind), 0);
        EXPECT_EQ(g.form().shapes("ShpStr")(kind).pixelRect().height(), 0);
    }
    EXPECT_EQ(g.frm().moods().selectedOption(), 0);
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
    while ((titleReplaced < 0 || captionWritten < 0) && sinceClick.elapsed() < 30000) {
        QTest::qWait(2);
        if (titleReplaced < 0 && game.frm.form().label("LblSay").caption() != "Sorawata")
            titleReplaced = sinceClick.elapsed();
        if (captionWritten < 0 && game.frm.form().caption() != "before the click")
            captionWritten = sinceClick.elapsed();
    }
    EXPECT_GE(titleReplaced, 1000);
    EXPECT_GE(captionWritten, 300);
}
