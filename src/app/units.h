// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QRect>

namespace app {

// Twips (1/1440 inch) per logical pixel on this screen: 15 at 96 dots per inch.
double twipsPerPixel();
// A length in twips as whole logical pixels.
int twipsToPixels(double twips);
// The width of the primary screen in twips.
double screenWidthTwips();
// The layout unit: a sixth of the screen width in twips, rounded down.
float layoutUnit(double screenWidthTwips);

// The window's drawing area as a grid 4.5 units across and 3 down, origin top left. A rectangle
// in grid units becomes whole pixels edge by edge, so that neighbours meet without gap or overlap.
class Grid {
public:
    explicit Grid(QSize area) : perUnitX_(area.width() / 4.5), perUnitY_(area.height() / 3.0) {}

    QRect rect(double left, double top, double width, double height) const;

private:
    double perUnitX_;
    double perUnitY_;
};

} // namespace app
