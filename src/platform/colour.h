// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QColor>
#include <cstdint>
#include <variant>

namespace platform {

// A 24-bit colour as 0xRRGGBB.
using Colour = std::uint32_t;

constexpr Colour RGB(int red, int green, int blue) {
    return static_cast<Colour>((red << 16) | (green << 8) | blue);
}

// Colours named by their role, resolved from the platform's palette.
enum class SystemColour { WindowBackground, WindowText };

// A colour setting of the window definition: a fixed colour or a system role.
using ColourSetting = std::variant<Colour, SystemColour>;

Colour resolve(ColourSetting setting);
QColor toQColor(Colour colour);
Colour fromQColor(const QColor& colour);

} // namespace platform
