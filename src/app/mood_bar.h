// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QProgressBar>

namespace app {

// One of the player's mood bars, drawn back to front in three parts: the fill (ShpStr), growing
// down from the top as the mood rises and as tall as the bar at the ceiling; the frame (ShpBak),
// a one-pixel outline over the fill's edges; the name (LblStr), centred at the top. A screen
// reader reads it as a progress bar of that name, from 0 to the ceiling.
class MoodBar final : public QProgressBar {
public:
    MoodBar(const QString& name, int ceiling, QWidget* parent);

    // The height of the fill in pixels.
    int fillHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace app
