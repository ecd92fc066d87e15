// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <functional>

class QWidget;

namespace app {

// Calls `then` once, when the window's first painting has gone to the screen.
void afterFirstPaint(QWidget& window, std::function<void()> then);

} // namespace app
