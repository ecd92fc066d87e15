// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

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

// The application folder gets exactly one trailing separator, also for the root.
TEST(AssetFolders, EndInExactlyOneSeparator) {
    EXPECT_EQ(app::withTrailingSeparator("/home/player/夜 の 部屋"), "/home/player/夜 の 部屋/");
    EXPECT_EQ(app::withTrailingSeparator("/games/"), "/games/");
    EXPECT_EQ(app::withTrailingSeparator("/"), "/");

    AssetFolder assets;
    LoadedGame game(assets, {});
    EXPECT_EQ(game.frm.appDir(), assets.path() + "/");
    EXPECT_EQ(game.frm.datDir(), game.frm.appDir());
    EXPECT_EQ(game.frm.imgDir(), game.frm.appDir() + "img/");
}

// A 15360-twip screen gives a window of 11520 x 5120 twips: 768 x 341 pixels without a frame.
TEST(Layout, WindowSizeFollowsTheScreen) {
    AssetFolder assets;
    LoadedGame game(assets, {});
    EXPECT_EQ(game.frm.form().widget().size(), QSize(768, 341));
    EXPECT_EQ(game.frm.form().backColor(), platform::RGB(255, 255, 255));
    EXPECT_DOUBLE_EQ(game.frm.form().scaleWidth(), 4.5);
    EXPECT_DOUBLE_EQ(game.frm.form().scaleHeight(), 3);
}

// Start-up seeds the random generator once and completes the control arrays to elements 0-2
// with their texts.
TEST(Layout, ControlArraysHaveThreeElementsWithTheirTexts) {
    AssetFolder assets;
    LoadedGame game(assets, {});
    EXPECT_EQ(game.random.randomizeCount(), 1);
    platform::Form& form = game.frm.form();
    EXPECT_EQ(form.optionButtons("Opt").ubound(), 2);
    EXPECT_EQ(form.labels("LblStr").ubound(), 2);
    EXPECT_EQ(form.shapes("ShpStr").ubound(), 2);
    EXPECT_EQ(form.shapes("ShpBak").ubound(), 2);
    EXPECT_EQ(form.optionButtons("Opt")(0).caption(), "自分のことを考える");
    EXPECT_EQ(form.optionButtons("Opt")(1).caption(), "相手のことを考える");
    EXPECT_EQ(form.optionButtons("Opt")(2).caption(), "思い出す");
    EXPECT_EQ(form.labels("LblStr")(0).caption(), "怒");
    EXPECT_EQ(form.labels("LblStr")(1).caption(), "哀");
    EXPECT_EQ(form.labels("LblStr")(2).caption(), "謝りたい");
    for (int i = 0; i <= 2; ++i) {
        EXPECT_TRUE(form.optionButtons("Opt")(i).visible());
        EXPECT_TRUE(form.shapes("ShpBak")(i).visible());
    }
}

// Every control stands on its grid rectangle, whatever the window's size.
TEST(Layout, ControlsTakeTheirGridRectanglesAtTwoSizes) {
    for (const double screenTwips : {15360.0, 19200.0}) {
        SCOPED_TRACE(screenTwips);
        AssetFolder assets;
        LoadedGame game(assets, {}, screenTwips);
        platform::Form& form = game.frm.form();
        const QSize area = form.widget().size();

        EXPECT_EQ(form.pictureBox("Pic").pixelRect(), gridRect(area, 0, 0, 2, 3));
        for (int i = 0; i <= 2; ++i) {
            EXPECT_EQ(form.optionButtons("Opt")(i).widget().geometry(), gridRect(area, 2, i, 1, 1));
        }
        for (int j = 0; j <= 2; ++j) {
            const double left = 3 + 0.5 * j;
            EXPECT_EQ(form.shapes("ShpBak")(j).pixelRect(), gridRect(area, left, 0, 0.5, 3));
            EXPECT_EQ(form.shapes("ShpStr")(j).pixelRect(), gridRect(area, left, 0, 0.5, 0));
            const QRect label = form.labels("LblStr")(j).pixelRect();
            EXPECT_EQ(label.left(), gridRect(area, left, 0, 0.5, 3).left());
            EXPECT_EQ(label.height(), 17) << "bar labels keep their 255 twips";
        }
        EXPECT_EQ(form.shapes("ShpBak")(2).pixelRect().right() + 1, area.width())
            << "the last bar column ends at the right edge";
    }
}

// The murmur label sits 100 twips in from the picture's corner and starts empty.
TEST(Layout, MurmurLabelSitsInsideThePicture) {
    AssetFolder assets;
    LoadedGame game(assets, {});
    platform::Label& say = game.frm.form().label("LblSay");
    EXPECT_EQ(&say.container(),
              static_cast<platform::Container*>(&game.frm.form().pictureBox("Pic")));
    EXPECT_EQ(say.pixelRect().topLeft(), QPoint(7, 7));
    EXPECT_EQ(say.caption(), "");
    EXPECT_EQ(say.foreColor(), platform::RGB(100, 0, 0));
}

// Bars are drawn fill first, frame over it, label on top.
TEST(Layout, BarFillLiesBehindFrameAndLabel) {
    AssetFolder assets;
    LoadedGame game(assets, {});
    platform::Form& form = game.frm.form();
    form.shapes("ShpStr")(0).setHeight(3);
    const QImage shot = form.widget().grab().toImage();
    const QRect frame = form.shapes("ShpBak")(0).pixelRect();
    EXPECT_EQ(pixelAt(shot, frame.left(), frame.center().y()), QColor(0, 0, 255));
    EXPECT_EQ(pixelAt(shot, frame.center().x(), frame.bottom() - 5), QColor(0, 255, 255));
    EXPECT_EQ(pixelAt(shot, form.shapes("ShpBak")(1).pixelRect().center().x(), 200),
              QColor(255, 255, 255));
}

// Every click on an option raises its click event once, by mouse anywhere in its cell or by the
// keyboard's selection keys, also on the option already marked; the handler marking the option
// raises none, and neither does marking one from the program.
TEST(Options, EveryClickRaisesExactlyOneClickEvent) {
    using Action = std::function<void(platform::ControlArray<platform::OptionButton>&)>;
    const auto mouse = [](int i) -> Action {
        return [i](auto& opt) {
            platform::CellRadioButton& button = opt(i).widget();
            QTest::mouseClick(&button, Qt::LeftButton, {},
                              QPoint(button.width() - 3, button.height() - 3));
        };
    };
    const auto key = [](int focused, Qt::Key pressed) -> Action {
        return [focused, pressed](auto& opt) {
            opt(focused).widget().setFocus();
            QTest::keyClick(&opt(focused).widget(), pressed);
        };
    };
    const auto mark = [](int i) -> Action { return [i](auto& opt) { opt(i).setValue(true); }; };
    struct Case {
        const char* what;
        std::vector<Action> actions;
        std::vector<int> clicks;
        int marked;
    };
    const Case cases[] = {
        {"mouse on another option", {mouse(2)}, {2}, 2},
        {"mouse on the marked option", {mouse(0), mouse(0)}, {0, 0}, 0},
        {"option 1, a new game, option 0", {mouse(1), mark(0), mouse(0)}, {1, 0}, 0},
        {"space on the marked option", {key(0, Qt::Key_Space)}, {0}, 0},
        {"space on an unmarked option", {key(2, Qt::Key_Space)}, {2}, 2},
        {"down from the marked option", {key(0, Qt::Key_Down)}, {1}, 1},
        {"up from the marked option", {mark(2), key(2, Qt::Key_Up)}, {1}, 1},
        {"down from an unmarked option", {key(1, Qt::Key_Down)}, {2}, 2},
        {"down from the last option", {mark(2), key(2, Qt::Key_Down)}, {}, 2},
        {"marked by the program", {mark(1), mark(2)}, {}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AssetFolder assets;
        assets.writeStandardSet();
        LoadedGame game(assets, std::vector<double>(c.clicks.size(), 0.1));
        game.frm.form().onActivate = nullptr; // no new game, no timers
        QWidget& window = game.frm.form().widget();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        auto& opt = game.frm.form().optionButtons("Opt");
        std::vector<int> clicks;
        opt.onClick = [&](int index) {
            clicks.push_back(index);
            game.frm.Opt_Click(static_cast<std::int16_t>(index));
        };
        for (const Action& action : c.actions) {
            action(opt);
        }
        EXPECT_EQ(clicks, c.clicks);
        EXPECT_TRUE(opt(c.marked).value());
    }
}

// The window opens with the focus on the picture, tab position 0. Tab then enters the options at
// the marked one and leaves them for the picture again; the hidden picture box E is skipped.
TEST(Layout, FocusStartsOnThePictureAndTabFollowsTheTabPositions) {
    AssetFolder assets;
    assets.writeStandardSet();
    LoadedGame game(assets, {});
    platform::Form& form = game.frm.form();
    form.onActivate = nullptr; // no new game, no timers
    form.widget().show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form.widget()));
    QWidget* pic = &form.pictureBox("Pic").surface();
    const auto option = [&](int i) -> QWidget* { return &form.optionButtons("Opt")(i).widget(); };
    EXPECT_EQ(QApplication::focusWidget(), pic);
    struct Step {
        Qt::Key key;
        int markFirst; // -1: none
        QWidget* focused;
    };
    const Step steps[] = {
        {Qt::Key_Tab, -1, option(0)}, {Qt::Key_Tab, -1, pic},          {Qt::Key_Tab, 2, option(2)},
        {Qt::Key_Backtab, -1, pic},   {Qt::Key_Backtab, 1, option(1)},
    };
    for (const Step& step : steps) {
        if (step.markFirst >= 0) {
            form.optionButtons("Opt")(step.markFirst).setValue(true);
        }
        QTest::keyClick(QApplication::focusWidget(), step.key);
        EXPECT_EQ(QApplication::focusWidget(), step.focused);
    }
}

// A control or an element that the window does not have is a programming error that ends the
// program at once.
TEST(LayoutDeathTest, MissingControlsEndTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    AssetFolder assets;
    LoadedGame game(assets, {});
    platform::Form& form = game.frm.form();
    EXPECT_DEATH(form.optionButtons("Opt")(3), "control array element 3 does not exist");
    EXPECT_DEATH(game.frm.Opt_Click(-1), "control array element -1 does not exist");
    EXPECT_DEATH(form.labels("LblStr").load(5), "control array element 5 cannot be loaded");
    EXPECT_DEATH(form.shapes("Opt"), "the window has no such control as Opt");
    EXPECT_DEATH(form.timer("timNothing"), "the window has no such control as timNothing");
}
