// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/units.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace app {

double twipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return 1440.0 / (screen ? screen->logicalDotsPerInchX() : 96.0);
}

int twipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixel()));
}

double screenWidthTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() * twipsPerPixel() : 0;
}

float layoutUnit(double screenWidthTwips) {
    return static_cast<float>(std::floor(screenWidthTwips / 6));
}

QRect Grid::rect(double left, double top, double width, double height) const {
    const auto x = [this](double units) {
        return static_cast<int>(std::lround(units * perUnitX_));
    };
    const auto y = [this](double units) {
        return static_cast<int>(std::lround(units * perUnitY_));
    };
    return QRect(QPoint(x(left), y(top)), QPoint(x(left + width) - 1, y(top + height) - 1));
}

} // namespace app
