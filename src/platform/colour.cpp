// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "platform/colour.h"

#include <QApplication>
#include <QPalette>

namespace platform {

Colour resolve(ColourSetting setting) {
    if (const auto* fixed = std::get_if<Colour>(&setting)) {
        return *fixed;
    }
    const QPalette palette = QApplication::palette();
    switch (std::get<SystemColour>(setting)) {
    case SystemColour::WindowBackground:
        return fromQColor(palette.color(QPalette::Base));
    case SystemColour::WindowText:
        return fromQColor(palette.color(QPalette::Text));
    }
    return 0;
}

QColor toQColor(Colour colour) {
    return QColor::fromRgb((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

Colour fromQColor(const QColor& colour) {
    return RGB(colour.red(), colour.green(), colour.blue());
}

} // namespace platform
