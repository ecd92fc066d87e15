// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT
#include "game_world.h"

#include <QAccessible>
#include <QMetaEnum>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

QAccessibleInterface* childNamed(QAccessibleInterface* parent, const QString& name) {
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(QAccessible::Name) == name)
            return parent->child(i);
    ADD_FAILURE() << "no child named " << name.toStdString();
    return nullptr;
}

QAccessibleInterface* accessibleWindow(app::Frm& frm) {
    return QAccessible::queryAccessibleInterface(&frm);
}
QAccessibleInterface* picture(app::Frm& frm) {
    return childNamed(accessibleWindow(frm), QStringLiteral("場面"));
}

// One line per object, children indented under their parent, checking on the way that every
// child names its parent as its parent and is found at its own index.
std::string treeOf(QAccessibleInterface* node, int depth = 0) {
    const QMetaEnum roles = QMetaEnum::fromType<QAccessible::Role>();
    std::string line = std::string(2 * depth, ' ') + roles.valueToKey(node->role()) + " '" +
                       node->text(QAccessible::Name).toStdString() + "'";
    if (node->valueInterface())
        line += " value";
    const QStringList actions =
        node->actionInterface() ? node->actionInterface()->actionNames() : QStringList();
    if (!actions.isEmpty())
        line += " " + actions.join(',').toStdString();
    std::string tree = line + "\n";
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        EXPECT_EQ(child->parent(), node) << line;
        EXPECT_EQ(node->indexOfChild(child), i) << line;
        EXPECT_TRUE(node->rect().contains(child->rect())) << line;
        tree += treeOf(child, depth + 1);
    }
    return tree;
}

} // namespace

// The tree a screen reader reads: the window as a frame named by its caption and described; the
// picture a button with nothing inside; beside it the murmur label as a notification holding its
// text; the options in a named group; the bars and the partner's readout as labels, with no value
// to set and no actions.
TEST(Accessibility, TreeOfWindowPictureNotificationOptionsBarsAndReadout) {
    Game game(standardAssets(), {0.1}, Opening::Shown);
    QAccessibleInterface* window = accessibleWindow(game.frm);
    EXPECT_EQ(window->text(QAccessible::Description), "題名の数は相手の怒、哀、謝りたい");
    const std::string expected = "Window 'Sorawata'\n"
                                 "  Button '場面' Press,SetFocus\n"
                                 "  Notification ''\n"
                                 "    StaticText 'Sorawata'\n"
                                 "  Grouping '考え方'\n"
                                 "    RadioButton '自分のことを考える' Toggle,SetFocus\n"
                                 "    RadioButton '相手のことを考える' Toggle,SetFocus\n"
                                 "    RadioButton '思い出す' Toggle,SetFocus\n"
                                 "  StaticText '怒 0 / 200'\n"
                                 "  StaticText '哀 0 / 200'\n"
                                 "  StaticText '謝りたい 0 / 80'\n"
                                 "  StaticText ''\n";
    EXPECT_EQ(treeOf(window), expected);
    EXPECT_TRUE(picture(game.frm)->rect().contains(window->child(1)->rect()));
}

// The bars read the player's moods and the readout the partner's, each with its name and
// ceiling, as the caption's numbers after every tick.
TEST(Accessibility, LabelsReadTheMoodsWithTheirNamesAndCeilings) {
    struct Case {
        std::int16_t player[2]; // anger and sorrow; the wish to apologise follows
        std::int16_t partner[2];
        const char* bars[3];
        const char* readout;
    };
    const Case cases[] = {
        {{0, 0},
         {0, 0},
         {"怒 0 / 200", "哀 0 / 200", "謝りたい 0 / 80"},
         "相手 怒 0 / 200 哀 0 / 200 謝りたい 0 / 80"},
        {{76, 137},
         {16, 90},
         {"怒 76 / 200", "哀 137 / 200", "謝りたい 61 / 80"},
         "相手 怒 16 / 200 哀 90 / 200 謝りたい 74 / 80"},
        {{200, 200},
         {200, 0},
         {"怒 200 / 200", "哀 200 / 200", "謝りたい 0 / 80"},
         "相手 怒 200 / 200 哀 0 / 200 謝りたい 0 / 80"},
    };
    for (const Case& c : cases) {
        // A draw for the first scene, then a tick that changes nothing.
        Game game(standardAssets(), {0.1, drawing(0, 10), drawing(0, 10)}, Opening::Shown);
        mood::MoodRules& moods = game.frm.moods();
        for (std::uint8_t kind : {mood::Anger, mood::Sorrow}) {
            moods.AddMoodWithApology(mood::Player, kind, c.player[kind]);
            moods.AddMoodWithApology(mood::Partner, kind, c.partner[kind]);
        }
        game.frm.timOpt_Timer();
        SCOPED_TRACE(caption(game.frm));
        QAccessibleInterface* window = accessibleWindow(game.frm);
        for (int kind = 0; kind <= 2; ++kind) {
            EXPECT_EQ(window->child(3 + kind)->text(QAccessible::Name),
                      QString::fromUtf8(c.bars[kind]));
        }
        EXPECT_EQ(window->child(6)->text(QAccessible::Name), QString::fromUtf8(c.readout));
    }
}

// After an ending the picture's press action, or Space or Return on the focused picture, starts
// a new game, as a click does; other keys do not.
TEST(Accessibility, PressSpaceOrReturnOnThePictureStartsANewGame) {
    struct Case {
        const char* what;
        std::function<void(Game&)> act;
        bool newGame;
    };
    const auto key = [](Qt::Key k) {
        return [k](Game& game) { QTest::keyClick(&pic(game.frm), k); };
    };
    const Case cases[] = {
        {"press action",
         [](Game& game) {
             picture(game.frm)->actionInterface()->doAction(
                 QAccessibleActionInterface::pressAction());
         },
         true},
        {"Space", key(Qt::Key_Space), true},
        {"Return", key(Qt::Key_Return), true},
        {"keypad Enter", key(Qt::Key_Enter), true},
        {"A", key(Qt::Key_A), false},
    };
    for (const Case& c : cases) {
        Game game(standardAssets(), c.newGame ? std::vector{0.1, 0.5} : std::vector{0.1},
                  Opening::Shown);
        mood::MoodRules& moods = game.frm.moods();
        moods.AddMood(mood::Player, mood::WishToApologise, 80); // the player's ending
        c.act(game);
        // The press action lets go of the button a moment later.
        EXPECT_TRUE(!c.newGame ||
                    QTest::qWaitFor([&] { return timer(game.frm, "timOpt").isActive(); }));
        EXPECT_EQ(moods.mood(mood::Player, mood::WishToApologise), c.newGame ? 0 : 80) << c.what;
        EXPECT_EQ(timer(game.frm, "timOpt").isActive(), c.newGame) << c.what;
        EXPECT_EQ(lblSay(game.frm).text() == "Sorawata", c.newGame) << c.what;
    }
}
