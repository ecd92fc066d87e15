// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QWidget>

namespace app {

// One of the player's mood bars, drawn back to front in three parts: the fill (ShpStr), growing
// down from the top as the mood rises and as tall as the bar at the ceiling; the frame (ShpBak),
// a one-pixel outline over the fill's edges; the name (LblStr), centred at the top. A screen
// reader reads it as a label of its name and value, "怒 76 / 200": nothing to change, so no
// actions.
class MoodBar final : public QWidget {
public:
    MoodBar(const QString& name, int ceiling, QWidget* parent);

    int value() const { return value_; }
    int maximum() const { return ceiling_; }
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

} // namespace app
