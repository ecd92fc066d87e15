// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// The window's side of the game: what it makes of the moods' news (the bars, the caption, the
// scenes and the endings), the choices and the new game.

#include "app/first_paint.h"
#include "game_world.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace {

bool timerOn(app::Frm& frm, const char* name) {
    return timer(frm, name).isActive();
}

} // namespace

// A bar fills its frame from the top edge down: empty at 0, half at half, full at the ceiling.
TEST(Bars, FillFollowsTheValue) {
    struct Case {
        std::uint8_t kind;
        std::int16_t value;
        double share;
    };
    const Case cases[] = {{0, 0, 0},    {0, 100, 0.5}, {1, 200, 1},
                          {2, 40, 0.5}, {2, 80, 1},    {2, 0, 0}};
    Game g(standardAssets(), {drawing(0, 5)}, Opening::Started);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bar " << int(c.kind) << " at " << c.value);
        g.frm.barChanged(c.kind, c.value);
        const app::MoodBar& bar = *bars(g.frm)[c.kind];
        EXPECT_EQ(bar.value(), c.value);
        EXPECT_NEAR(bar.fillHeight(), bar.height() * c.share, 1);
        EXPECT_TRUE(c.share < 1 || bar.fillHeight() == bar.height());
    }
}

// Through the window's own tick: both endings in one tick leave the partner's picture and text,
// the tick still writes the caption, and both game timers stop.
TEST(ThinkingTick, BothEndingsInOneTickLeaveThePartners) {
    Game g(standardAssets(), {drawing(0, 5), drawing(1, 5), drawing(5, 10), drawing(4, 5)},
           Opening::Started);
    g.frm.Opt_Click(1);
    g.frm.moods().AddMood(mood::Player, mood::Sorrow, 75);
    g.frm.moods().AddMood(mood::Partner, mood::Sorrow, 76);
    g.frm.timOpt_Timer();
    EXPECT_EQ(lblSay(g.frm).text(), "\nyours one\nyours two\nyours three");
    EXPECT_TRUE(near(sceneColour(g.frm), colour::end1));
    EXPECT_EQ(caption(g.frm), "0_80_80_");
    EXPECT_FALSE(timerOn(g.frm, "timOpt"));
    EXPECT_FALSE(timerOn(g.frm, "timLbl"));
    EXPECT_EQ(bars(g.frm)[2]->fillHeight(), bars(g.frm)[2]->height());
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
    const QString cut = QString::fromStdString(night.substr(0, 4096 * std::string("夜").size()));
    struct Case {
        const char* what;
        std::optional<std::string> file;
        QString shown;
        bool reported;
    };
    const Case cases[] = {
        {"four lines", "one\r\n\r\nthree\r\nfour\r\n", "\none\n\nthree", false},
        {"no break after the last", "a\r\nb\r\nlast", "\na\nb\nlast", false},
        {"a long line", night + "\r\nb\r\nc\r\n", "\n" + cut + "\nb\nc", true},
        {"one line", "only one", "\nonly one", true},
        {"no file", std::nullopt, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AssetFolder assets;
        assets.writeStandardSet();
        if (c.file)
            assets.writeFile("end0.txt", *c.file);
        else
            QFile::remove(QString::fromStdString(assets.path("end0.txt")));
        Game game(assets, {drawing(0, 5)}, Opening::Started);
        testing::internal::CaptureStderr();
        game.frm.ShowEnding(0);
        game.frm.ShowEnding(0);
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_EQ(lblSay(game.frm).text(), c.shown);
        EXPECT_TRUE(near(sceneColour(game.frm), colour::end0));
        EXPECT_FALSE(timer(game.frm, "timOpt").isActive());
        EXPECT_FALSE(timer(game.frm, "timLbl").isActive());
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), c.reported ? 1 : 0) << errors;
    }
}

// A choice marks the option and shows the scene drawn for it, read anew from its file every time:
// a picture replaced while the game runs shows as it is now.
TEST(Choices, MarkTheOptionAndShowTheDrawnSceneAsItIsNow) {
    AssetFolder assets;
    assets.writeStandardSet();
    Game game(assets, {drawing(3, 5), drawing(3, 5)});
    const QList<app::CellRadioButton*> options = opt(game.frm);
    game.frm.Opt_Click(2);
    EXPECT_EQ(game.frm.moods().selectedOption(), 2);
    EXPECT_TRUE(options[2]->isChecked());
    EXPECT_FALSE(options[0]->isChecked());
    EXPECT_TRUE(near(sceneColour(game.frm), sceneColours[3]));
    assets.writeSolidPicture("3", Qt::cyan);
    game.frm.Opt_Click(1);
    EXPECT_TRUE(options[1]->isChecked());
    EXPECT_TRUE(near(sceneColour(game.frm), Qt::cyan));
}

// A new game resets everything, during play and after an ending.
TEST(NewGame, ResetsDuringPlayAndAfterAnEnding) {
    Game g(standardAssets(), {drawing(0, 5), drawing(2, 5), drawing(4, 5)}, Opening::Started);
    g.frm.Opt_Click(2);
    g.frm.moods().AddMood(mood::Player, mood::Anger, 150);
    g.frm.moods().AddMood(mood::Partner, mood::WishToApologise, 80);
    ASSERT_FALSE(timerOn(g.frm, "timOpt"));

    g.frm.Pic_Click();
    for (std::uint8_t kind = 0; kind <= 2; ++kind) {
        EXPECT_EQ(g.frm.moods().mood(mood::Player, kind), 0);
        EXPECT_EQ(g.frm.moods().mood(mood::Partner, kind), 0);
        EXPECT_EQ(bars(g.frm)[kind]->fillHeight(), 0);
    }
    EXPECT_EQ(g.frm.moods().selectedOption(), 0);
    EXPECT_TRUE(opt(g.frm)[0]->isChecked());
    EXPECT_TRUE(timerOn(g.frm, "timOpt"));
    EXPECT_TRUE(timerOn(g.frm, "timLbl"));
    EXPECT_EQ(lblSay(g.frm).text(), "Sorawata");
    EXPECT_TRUE(near(sceneColour(g.frm), sceneColours[4]));
}

// A new game in the middle of one starts both timers afresh: the title stays a whole second and
// the first tick comes 300 ms after the click, with real timers and the event loop running.
TEST(NewGame, MidGameRestartsTheTimers) {
    AssetFolder assets;
    assets.writeStandardSet();
    Game game(assets, std::vector<double>(100, 0.5), Opening::Started);
    QTest::qWait(400);
    game.frm.setWindowTitle("before the click");
    QElapsedTimer sinceClick;
    sinceClick.start();
    game.frm.Pic_Click();
    qint64 titleReplaced = -1;
    qint64 captionWritten = -1;
    while ((titleReplaced < 0 || captionWritten < 0) && sinceClick.elapsed() < 30000) {
        QTest::qWait(2);
        if (titleReplaced < 0 && lblSay(game.frm).text() != "Sorawata")
            titleReplaced = sinceClick.elapsed();
        if (captionWritten < 0 && caption(game.frm) != "before the click")
            captionWritten = sinceClick.elapsed();
    }
    EXPECT_GE(titleReplaced, 1000);
    EXPECT_GE(captionWritten, 300);
}

namespace {

// Pixels of `area` on `shot` that are near `colour`.
int pixelsNear(const QImage& shot, const QRect& area, const QColor& colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += near(shot.pixelColor(x, y), colour, 40);
    return count;
}

} // namespace

// The screen keeps up with the window, leaving no stale pixels: a full bar emptied by a new game,
// a long murmur followed by a short one, and an ending's three lines below its empty first line.
TEST(Screen, ShowsWhatTheWindowShowsNow) {
    AssetFolder assets;
    assets.writeStandardSet();
    assets.writeFile("end0.txt", "一行目\r\n二行目\r\n三行目\r\n");
    Game game(assets, std::vector<double>(3, drawing(0, 5)), Opening::ShownStill);
    app::Frm& frm = game.frm;
    // The lower part of the sorrow bar's inside, where the window manager's frame has left it.
    const auto barBottom = [&] { return bars(frm)[1]->geometry().adjusted(2, 300, -2, -2); };
    const int line = lblSay(frm).fontMetrics().height();
    const auto lineOfText = [&](int i) { return QRect(7, 7 + i * line, 300, line); };

    frm.moods().AddMood(mood::Player, mood::Sorrow, 200);
    ASSERT_TRUE(eventuallyShows(frm, [&](const QImage& shot) {
        return pixelsNear(shot, barBottom(), colour::barFill) ==
               barBottom().width() * barBottom().height();
    }));
    frm.Pic_Click();
    EXPECT_TRUE(eventuallyShows(frm, [&](const QImage& shot) {
        return pixelsNear(shot, barBottom(), colour::background) ==
               barBottom().width() * barBottom().height();
    })) << "a bar emptied by a new game";

    lblSay(frm).setCaption("ながいながいつぶやき");
    ASSERT_TRUE(eventuallyShows(frm, [&](const QImage& shot) {
        return pixelsNear(shot, lineOfText(0).adjusted(60, 0, 0, 0), colour::murmurText) > 10;
    }));
    lblSay(frm).setCaption("あ");
    EXPECT_TRUE(eventuallyShows(frm, [&](const QImage& shot) {
        return pixelsNear(shot, lineOfText(0).adjusted(60, 0, 0, 0), colour::murmurText) == 0;
    })) << "a shorter murmur";

    frm.ShowEnding(0);
    EXPECT_TRUE(eventuallyShows(frm, [&](const QImage& shot) {
        return pixelsNear(shot, lineOfText(0), colour::murmurText) == 0 &&
               pixelsNear(shot, lineOfText(1), colour::murmurText) > 10 &&
               pixelsNear(shot, lineOfText(2), colour::murmurText) > 10 &&
               pixelsNear(shot, lineOfText(3), colour::murmurText) > 10;
    })) << "the ending's three lines";
}

// The window never waits for its scene: with its decoder held back, as the game holds it until the
// first paint, it shows and paints, the picture box in its own colour until the picture comes,
// without the opening picture between. The scene comes once the decoder starts.
TEST(Choices, TheWindowGoesOnWhileTheSceneIsOnItsWay) {
    files::PictureDecoder held(SORAWATA_PICTURE_DECODER, files::PictureDecoder::Start::WhenLet);
    Game game(standardAssets(), {drawing(3, 5), drawing(3, 5)}, Opening::ShownStill, 15360, held);
    const QRect optionTexts = game.frm.findChild<QWidget*>("OptGroup")->geometry();
    const QRect picture = pic(game.frm).geometry().adjusted(0, 40, 0, 0); // below the murmur
    const int allOfIt = picture.width() * picture.height();
    EXPECT_TRUE(eventuallyShows(game.frm, [&](const QImage& shot) {
        return pixelsNear(shot, optionTexts, colour::optionText) > 100 &&
               pixelsNear(shot, picture, colour::background) == allOfIt;
    }));
    EXPECT_TRUE(pic(game.frm).pictureOnItsWay());
    held.letStart();
    EXPECT_TRUE(eventuallyShows(game.frm, [&](const QImage& shot) {
        return pixelsNear(shot, picture, sceneColours[3]) == allOfIt;
    }));
}

// What the sound library waits for: `then` runs once, with the window's first painting on screen.
TEST(FirstPaint, ThenRunsOnceWithThePaintingOnScreen) {
    class Red final : public QWidget {
        void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::red); }
    };
    Red window;
    window.resize(40, 30);
    int calls = 0;
    bool redThen = false;
    app::afterFirstPaint(window, [&] {
        ++calls;
        redThen = onScreen(window).pixelColor(20, 15) == QColor(Qt::red);
    });
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls > 0; }));
    window.repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(redThen);
}
