// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

class QWidget;

namespace app {

// What Qt 6.4 does not tell screen readers by itself, in the shape Orca reads best: the window a
// frame named by its caption, LblSay a notification beside the picture, the bars labels with their
// values, the options a group. Once is enough.
void installAccessibility();

// A screen reader reads out LblSay's text now, wherever the focus is.
void announce(QWidget& label);
// A screen reader hears of the window's new caption, its name.
void nameChanged(QWidget& window);

} // namespace app
