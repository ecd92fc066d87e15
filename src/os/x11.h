// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QMargins>

class QWidget;

namespace os {

// Asks the window manager to keep the window off the taskbar. Qt has no call for it, and rewrites
// the window's state when it maps it, so this is repeated after every show.
void markSkipTaskbar(QWidget& window);

// The frame the window manager will put around the window, in logical pixels, asked for before it
// is first mapped, so that it is mapped at its final size. None without X11, without a window
// manager that takes the request, or when it does not answer in time.
QMargins frameBeforeFirstMap(QWidget& window);

} // namespace os
