// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/units.h"
#include "files/asset_file.h"
#include "game_world.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

int px(double value) {
    return static_cast<int>(std::lround(value));
}

// The pixel rectangle a rectangle of the 4.5 x 3 grid must take in a drawing area.
QRect gridRect(QSize area, double left, double top, double width, double height) {
    const double perX = area.width() / 4.5;
    const double perY = area.height() / 3.0;
    const int l = px(left * perX);
    const int t = px(top * perY);
    return QRect(l, t, px((left + width) * perX) - l, px((top + height) * perY) - t);
}

} // namespace

// The layout unit is a sixth of the screen width, rounded down.
TEST(LayoutUnit, IsASixthOfTheScreenRoundedDown) {
    EXPECT_EQ(app::layoutUnit(15360), 2560);
    EXPECT_EQ(app::layoutUnit(15365), 2560);
    EXPECT_EQ(app::layoutUnit(15359), 2559);
}

// The application folder gets exactly one trailing separator, also for the root; the game finds
// its files there (the other tests load them from a folder named without one).
TEST(AssetFolders, EndInExactlyOneSeparator) {
    EXPECT_EQ(files::withTrailingSeparator("/home/player/夜 の 部屋"), "/home/player/夜 の 部屋/");
    EXPECT_EQ(files::withTrailingSeparator("/games/"), "/games/");
    EXPECT_EQ(files::withTrailingSeparator("/"), "/");
}

// A 15360-twip screen gives a window of 11520 x 5120 twips: 768 x 341 pixels without a frame.
TEST(Layout, WindowSizeFollowsTheScreen) {
    AssetFolder assets;
    Game game(assets, {});
    EXPECT_EQ(game.frm.size(), QSize(768, 341));
    EXPECT_EQ(game.frm.palette().color(QPalette::Window), colour::background);
}

// Start-up seeds the random generator once and gives the options and the bars their texts.
TEST(Layout, OptionsAndBarsHaveTheirTexts) {
    AssetFolder assets;
    Game game(assets, {});
    EXPECT_EQ(game.random.randomizeCount(), 1);
    const char* options[] = {"自分のことを考える", "相手のことを考える", "思い出す"};
    const char* barNames[] = {"怒 0 / 200", "哀 0 / 200", "謝りたい 0 / 80"};
    for (int i = 0; i <= 2; ++i) {
        EXPECT_EQ(opt(game.frm)[i]->text(), QString::fromUtf8(options[i]));
        EXPECT_EQ(bars(game.frm)[i]->accessibleName(), QString::fromUtf8(barNames[i]));
    }
}

// Every control stands on its grid rectangle, whatever the window's size; bar labels keep their
// 255 twips and the murmur label its 100 twips from the picture's corner.
TEST(Layout, ControlsTakeTheirGridRectanglesAtTwoSizes) {
    for (const double screenTwips : {15360.0, 19200.0}) {
        SCOPED_TRACE(screenTwips);
        AssetFolder assets;
        Game game(assets, {}, Opening::Loaded, screenTwips);
        const QSize area = game.frm.size();
        EXPECT_EQ(pic(game.frm).geometry(), gridRect(area, 0, 0, 2, 3));
        EXPECT_EQ(lblSay(game.frm).pos(), QPoint(7, 7));
        for (int i = 0; i <= 2; ++i) {
            const app::CellRadioButton& option = *opt(game.frm)[i];
            EXPECT_EQ(QRect(option.mapTo(&game.frm, QPoint(0, 0)), option.size()),
                      gridRect(area, 2, i, 1, 1));
            EXPECT_EQ(bars(game.frm)[i]->geometry(), gridRect(area, 3 + 0.5 * i, 0, 0.5, 3));
        }
        EXPECT_EQ(bars(game.frm)[2]->geometry().right() + 1, area.width())
            << "the last bar column ends at the right edge";
    }
}

// A bar is drawn fill first, frame over it, name on top: the fill's height is the value's share
// of the bar, the frame's outline a blue pixel wide, the name blue on the 17 pixels at the top.
TEST(Layout, BarDrawsFillFrameAndName) {
    AssetFolder assets;
    Game game(assets, {});
    app::MoodBar& bar = *bars(game.frm)[0];
    bar.setValue(100);
    const QImage shot = bar.grab().toImage();
    const int middle = bar.width() / 2;
    EXPECT_EQ(bar.fillHeight(), 171); // (3 / 200 * 100 = 1.5 rows) of 341 pixels
    EXPECT_EQ(shot.pixelColor(0, 200), colour::barFrame);
    EXPECT_EQ(shot.pixelColor(middle, bar.height() - 1), colour::barFrame);
    EXPECT_EQ(shot.pixelColor(middle, 170), colour::barFill);
    EXPECT_EQ(shot.pixelColor(middle, 171), colour::background);
    int nameBlue = 0;
    for (int x = 1; x < bar.width() - 1; ++x)
        for (int y = 1; y < 17; ++y)
            nameBlue += shot.pixelColor(x, y).blue() > shot.pixelColor(x, y).green() + 100;
    EXPECT_GT(nameBlue, 5);
    EXPECT_EQ(shot.pixelColor(middle, 18), colour::barFill);
}

// Every click on an option reaches the game's handler once, which draws its scene and takes its
// way of thinking: by mouse anywhere in its cell or by the keyboard's selection keys, also on the
// option already marked; the handler marking the option raises none, and neither does marking one
// from the program.
TEST(Options, EveryClickRaisesExactlyOneClickEvent) {
    using Options = QList<app::CellRadioButton*>;
    using Action = std::function<void(const Options&)>;
    const auto mouse = [](int i) -> Action {
        return [i](const Options& opt) {
            QTest::mouseClick(opt[i], Qt::LeftButton, {},
                              QPoint(opt[i]->width() - 3, opt[i]->height() - 3));
        };
    };
    const auto key = [](int focused, Qt::Key pressed) -> Action {
        return [focused, pressed](const Options& opt) {
            opt[focused]->setFocus();
            QTest::keyClick(opt[focused], pressed);
        };
    };
    const auto mark = [](int i) -> Action {
        return [i](const Options& opt) { opt[i]->setChecked(true); };
    };
    struct Step {
        Action action;
        int click; // the option the game is told of; -1: none
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        int marked;
    };
    const Case cases[] = {
        {"mouse on another option", {{mouse(2), 2}}, 2},
        {"mouse on the marked option", {{mouse(0), 0}, {mouse(0), 0}}, 0},
        {"option 1, a new game, option 0", {{mouse(1), 1}, {mark(0), -1}, {mouse(0), 0}}, 0},
        {"space on the marked option", {{key(0, Qt::Key_Space), 0}}, 0},
        {"space on an unmarked option", {{key(2, Qt::Key_Space), 2}}, 2},
        {"down from the marked option", {{key(0, Qt::Key_Down), 1}}, 1},
        {"up from the marked option", {{mark(2), -1}, {key(2, Qt::Key_Up), 1}}, 1},
        {"down from an unmarked option", {{key(1, Qt::Key_Down), 2}}, 2},
        {"down from the last option", {{mark(2), -1}, {key(2, Qt::Key_Down), -1}}, 2},
        {"marked by the program", {{mark(1), -1}, {mark(2), -1}}, 2},
    };
    AssetFolder assets;
    assets.writeStandardSet();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Game game(assets, std::vector<double>(c.steps.size() + 1, 0.1), Opening::ShownStill);
        const Options options = opt(game.frm);
        for (const Step& step : c.steps) {
            const std::size_t drawsBefore = game.random.remaining();
            step.action(options);
            EXPECT_EQ(drawsBefore - game.random.remaining(), step.click < 0 ? 0u : 1u);
            if (step.click >= 0) {
                EXPECT_EQ(game.frm.moods().selectedOption(), step.click);
            }
        }
        EXPECT_TRUE(options[c.marked]->isChecked());
    }
}

// The window opens with the focus on the picture. Tab then enters the options at the marked one
// and leaves them for the picture again.
TEST(Layout, FocusStartsOnThePictureAndTabEntersTheOptionsAtTheMarkedOne) {
    Game game(standardAssets(), {0.1}, Opening::ShownStill);
    QWidget* picture = &pic(game.frm);
    const auto option = [&](int i) -> QWidget* { return opt(game.frm)[i]; };
    EXPECT_EQ(QApplication::focusWidget(), picture);
    struct Step {
        Qt::Key key;
        int markFirst; // -1: none
        QWidget* focused;
    };
    const Step steps[] = {
        {Qt::Key_Tab, -1, option(0)},    {Qt::Key_Tab, -1, picture},
        {Qt::Key_Tab, 2, option(2)},     {Qt::Key_Backtab, -1, picture},
        {Qt::Key_Backtab, 1, option(1)},
    };
    for (const Step& step : steps) {
        if (step.markFirst >= 0)
            opt(game.frm)[step.markFirst]->setChecked(true);
        QTest::keyClick(QApplication::focusWidget(), step.key);
        EXPECT_EQ(QApplication::focusWidget(), step.focused);
    }
}

// A way of thinking the window has no option for is a programming error that ends the program.
TEST(LayoutDeathTest, AnOptionThatDoesNotExistEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    AssetFolder assets;
    Game game(assets, {});
    EXPECT_DEATH(game.frm.Opt_Click(-1), "there is no option -1");
    EXPECT_DEATH(game.frm.Opt_Click(3), "there is no option 3");
}
