// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QImage>
#include <array>

// The game's icon: a crimson flower with yellow stamens, drawn on a 32 by 32
// grid and scaled to `size` pixels square.
QImage drawIcon(int size = 32);

// The sizes the desktop's hicolor icon theme gets.
inline constexpr std::array kThemeIconSizes{16, 32, 48, 64, 128, 256};
