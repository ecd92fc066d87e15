// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "files/picture.h"

#include <QAbstractButton>
#include <QRadioButton>
#include <QStringList>
#include <QWidget>
#include <optional>
#include <string>

// The controls of the game's window, one class for each kind.

class QLabel;

namespace app {

// An option button as a native one in a group: a click anywhere in its cell picks it (QRadioButton
// takes clicks only on its mark and text), arrows move the mark with the focus, and Tab enters the
// group only at the marked option.
class CellRadioButton final : public QRadioButton {
public:
    explicit CellRadioButton(QWidget* parent) : QRadioButton(parent) {
        setFocusPolicy(Qt::ClickFocus);
    }

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
    void keyPressEvent(QKeyEvent* event) override;
    void checkStateSet() override;
};

// One of the player's mood bars, drawn back to front in three parts: the fill (ShpStr), growing
// down from the top, as tall as the bar at the ceiling; the frame (ShpBak), a one-pixel outline;
// the name (LblStr), centred at the top. Screen readers read it as a label, "怒 76 / 200".
class MoodBar final : public QWidget {
public:
    MoodBar(const QString& name, int ceiling, QWidget* parent);

    int value() const { return value_; }
    void setValue(int value);
    // The height of the fill in pixels.
    int fillHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString name_;
    int ceiling_;
    int value_ = -1;
};

// LblSay: the murmur, or the ending's text, over the scene, sized to its lines, never wrapping;
// clicks go through it. Screen readers read its text from an empty QLabel named by it.
class MurmurLabel final : public QWidget {
public:
    explicit MurmurLabel(QWidget* parent);

    // Lines are separated by CR LF.
    void setCaption(const std::string& text);
    // The text with its line breaks as line feeds.
    QString text() const { return lines_.join('\n'); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList lines_;
    QLabel* readable_;
};

// Pic, the scene: its own opening picture, 300 by 300 pixels in its top-left corner, under what
// was painted on it since it was last cleared. A click, Space or Return presses it as a button.
// It never waits for a picture: it shows the last one that has arrived until the next one has.
class ScenePicture final : public QAbstractButton {
public:
    explicit ScenePicture(QWidget* parent) : QAbstractButton(parent) {
        setFocusPolicy(Qt::TabFocus);
    }

    // Erases what was painted; the box's own picture stays.
    void cls() { paintPicture({}); }
    // Paints the whole of `picture` stretched over the whole box, once it has arrived; until then
    // the box shows what it showed, and nothing but its colour before its first picture.
    void paintPicture(const files::Picture& picture) {
        asked_ = picture;
        update();
    }
    bool pictureOnItsWay() const { return asked_.onItsWay(); }
    // The box's size in device pixels: what a picture stretched over it covers.
    QSize deviceSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void paintOpening(QPainter& painter);

    QImage opening_;                      // decoded when it first shows
    files::Picture asked_;                // the last picture painted, maybe still on its way
    std::optional<files::Picture> shown_; // the last of them that has arrived
};

} // namespace app
