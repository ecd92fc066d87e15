// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT
#include "game_world.h"

#include <QAccessible>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

QAccessibleInterface* windowOf(app::Frm& frm) {
    return QAccessible::queryAccessibleInterface(&frm);
}

QAccessibleInterface* childNamed(QAccessibleInterface* parent, const QString& name) {
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(QAccessible::Name) == name) {
            return parent->child(i);
        }
    }
    ADD_FAILURE() << "no child named " << name.toStdString();
    return nullptr;
}

// The game shown as a player sees it: loaded, activated, a new game begun (one draw for the
// scene), then one draw for every further new game.
struct ShownGame {
    explicit ShownGame(std::vector<double> draws, double screenTwips = 15360)
        : random(std::move(draws)), frm(assets().path(), screenTwips, random, music) {
        frm.showGame();
    }
    static const AssetFolder& assets() {
        static const AssetFolder folder = [] {
            AssetFolder f;
            f.writeStandardSet();
            return f;
        }();
        return folder;
    }
    QAccessibleInterface* window() { return windowOf(frm); }
    QAccessibleInterface* picture() { return childNamed(window(), QStringLiteral("場面")); }

    ScriptedRandom random;
    SilentMci music;
    app::Frm frm;
};

} // namespace

// The tree a screen reader reads: the window as a dialog named by its caption; the picture as a
// button with the murmur label in it; the options; one bar per mood, from 0 to its ceiling. The
// frames, fills, bar labels and the hidden picture box are not objects of their own.
TEST(Accessibility, TreeShowsWindowPictureOptionsAndBars) {
    ShownGame game({0.1});
    QAccessibleInterface* window = game.window();
    EXPECT_EQ(window->role(), QAccessible::Dialog);
    EXPECT_EQ(window->text(QAccessible::Name), "Sorawata");

    struct Expected {
        QAccessible::Role role;
        const char* name;
        int maximum; // bars only
    };
    const Expected children[] = {
        {QAccessible::Button, "場面", 0},
        {QAccessible::RadioButton, "自分のことを考える", 0},
        {QAccessible::RadioButton, "相手のことを考える", 0},
        {QAccessible::RadioButton, "思い出す", 0},
        {QAccessible::ProgressBar, "怒", 200},
        {QAccessible::ProgressBar, "哀", 200},
        {QAccessible::ProgressBar, "謝りたい", 80},
    };
    ASSERT_EQ(window->childCount(), std::size(children));
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface* child = window->child(i);
        const Expected& expected = children[i];
        EXPECT_EQ(child->role(), expected.role) << expected.name;
        EXPECT_EQ(child->text(QAccessible::Name), QString::fromUtf8(expected.name));
        EXPECT_EQ(child->parent(), window) << expected.name;
        EXPECT_EQ(window->indexOfChild(child), i) << expected.name;
        EXPECT_FALSE(child->state().invisible) << expected.name;
        if (QAccessibleValueInterface* value = child->valueInterface()) {
            EXPECT_EQ(value->minimumValue().toInt(), 0);
            EXPECT_EQ(value->maximumValue().toInt(), expected.maximum);
            EXPECT_EQ(value->currentValue().toInt(), 0);
        }
    }

    QAccessibleInterface* picture = game.picture();
    EXPECT_TRUE(picture->state().focusable);
    EXPECT_TRUE(picture->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));
    ASSERT_EQ(picture->childCount(), 1);
    QAccessibleInterface* murmur = picture->child(0);
    EXPECT_EQ(murmur->role(), QAccessible::Notification);
    EXPECT_EQ(murmur->text(QAccessible::Name), "Sorawata");
    EXPECT_EQ(murmur->parent(), picture);
    EXPECT_EQ(picture->indexOfChild(murmur), 0);
    EXPECT_TRUE(picture->rect().contains(murmur->rect()));
}

// A bar reads exactly the player's mood, from 0 to its ceiling, whatever the screen: every
// value of every mood, at two window sizes, and the named ones below.
TEST(Accessibility, BarReadsThePlayersMood) {
    struct Case {
        std::uint8_t kind;
        std::int16_t mood;
    };
    const Case cases[] = {{mood::Anger, 0},           {mood::Anger, 100},
                          {mood::Anger, 200},         {mood::Sorrow, 137},
                          {mood::WishToApologise, 0}, {mood::WishToApologise, 40},
                          {mood::WishToApologise, 80}};
    const char* names[] = {"怒", "哀", "謝りたい"};
    for (double screenTwips : {15360.0, 28800.0}) {
        ShownGame game({0.1}, screenTwips);
        const auto barValue = [&](std::uint8_t kind, std::int16_t moodValue) {
            mood::MoodRules& moods = game.frm.moods();
            moods.AddMood(mood::Player, kind,
                          static_cast<std::int16_t>(moodValue - moods.mood(mood::Player, kind)));
            QAccessibleInterface* bar = childNamed(game.window(), QString::fromUtf8(names[kind]));
            return bar->valueInterface()->currentValue().toInt();
        };
        for (const Case& c : cases) {
            EXPECT_EQ(barValue(c.kind, c.mood), c.mood) << names[c.kind] << " at " << screenTwips;
        }
        for (std::uint8_t kind = 0; kind <= 2; ++kind) {
            const std::int16_t ceiling = kind == mood::WishToApologise ? 80 : 200;
            for (std::int16_t moodValue = 0; moodValue <= ceiling; ++moodValue) {
                ASSERT_EQ(barValue(kind, moodValue), moodValue) << names[kind];
            }
        }
    }
}

// After an ending the picture's press action, or Space or Return on the focused picture, starts
// a new game, as a click does; other keys do not.
TEST(Accessibility, PressSpaceOrReturnOnThePictureStartsANewGame) {
    struct Case {
        const char* what;
        std::function<void(ShownGame&)> act;
        bool newGame;
    };
    const auto key = [](Qt::Key k) {
        return [k](ShownGame& game) { QTest::keyClick(&pic(game.frm), k); };
    };
    const Case cases[] = {
        {"press action",
         [](ShownGame& game) {
             game.picture()->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
         },
         true},
        {"Space", key(Qt::Key_Space), true},
        {"Return", key(Qt::Key_Return), true},
        {"keypad Enter", key(Qt::Key_Enter), true},
        {"A", key(Qt::Key_A), false},
    };
    for (const Case& c : cases) {
        ShownGame game(c.newGame ? std::vector{0.1, 0.5} : std::vector{0.1});
        mood::MoodRules& moods = game.frm.moods();
        moods.AddMood(mood::Player, mood::WishToApologise, 80); // the player's ending
        c.act(game);
        if (c.newGame) { // the press action lets go of the button a moment later
            EXPECT_TRUE(QTest::qWaitFor([&] { return timer(game.frm, "timOpt").isActive(); }));
        }
        EXPECT_EQ(moods.mood(mood::Player, mood::WishToApologise), c.newGame ? 0 : 80) << c.what;
        EXPECT_EQ(timer(game.frm, "timOpt").isActive(), c.newGame) << c.what;
        EXPECT_EQ(lblSay(game.frm).text() == "Sorawata", c.newGame) << c.what;
    }
}
