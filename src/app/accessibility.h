// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

class QWidget;

namespace app {

// What Qt 6.4 does not tell screen readers by itself: the game's window is a dialog named by its
// caption, and the murmur label is a notification, read out wherever the focus is. Once is enough.
void installAccessibility();

// A screen reader reads out the label's new text.
void announce(QWidget& label);
// A screen reader hears of the widget's new name: a window's caption, a label's text.
void nameChanged(QWidget& widget);

} // namespace app
