#include "game_world.h"

#include <QTest>
#include <QWidget>
#include <cmath>
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
    EXPECT_EQ(game.frm.AppDir, assets.path() + "/");
    EXPECT_EQ(game.frm.DatDir, game.frm.AppDir);
    EXPECT_EQ(game.frm.ImgDir, game.frm.AppDir + "img/");
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

// Start-up completes the control arrays to elements 0-2 with their texts.
TEST(Layout, ControlArraysHaveThreeElementsWithTheirTexts) {
    AssetFolder assets;
    LoadedGame game(assets, {});
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

// An option takes a click anywhere in its cell, not only on its mark and text.
TEST(Options, TakeClicksAnywhereInTheirCell) {
    AssetFolder assets;
    assets.writeStandardSet();
    LoadedGame game(assets, {0.1, 0.2});
    int clicked = -1;
    game.frm.form().optionButtons("Opt").onClick = [&](int index) { clicked = index; };
    platform::CellRadioButton& third = game.frm.form().optionButtons("Opt")(2).widget();
    QTest::mouseClick(&third, Qt::LeftButton, {}, QPoint(third.width() - 3, third.height() - 3));
    EXPECT_EQ(clicked, 2);
    EXPECT_TRUE(third.isChecked());
    EXPECT_FALSE(game.frm.form().optionButtons("Opt")(0).value());
}

// The keyboard order follows the tab positions: Pic, E, then the options in order.
TEST(Layout, TabPositionsOrderTheWindowedControls) {
    AssetFolder assets;
    LoadedGame game(assets, {});
    platform::Form& form = game.frm.form();
    std::vector<QWidget*> order;
    QWidget* widget = &form.pictureBox("Pic").surface();
    do {
        if (widget != &form.widget()) {
            order.push_back(widget);
        }
        widget = widget->nextInFocusChain();
    } while (widget != &form.pictureBox("Pic").surface());
    const std::vector<QWidget*> expected = {
        &form.pictureBox("Pic").surface(), &form.pictureBox("E").surface(),
        &form.optionButtons("Opt")(0).widget(), &form.optionButtons("Opt")(1).widget(),
        &form.optionButtons("Opt")(2).widget()};
    EXPECT_EQ(order, expected);
}
