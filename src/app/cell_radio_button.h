// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QRadioButton>

namespace app {

// An option button that behaves as a native one in a group: a click anywhere in its cell picks it
// (QRadioButton alone takes clicks only on its mark and its text), the arrow keys move the mark
// with the focus, and Tab enters the group only at the marked option.
class CellRadioButton final : public QRadioButton {
public:
    explicit CellRadioButton(QWidget* parent);

protected:
    bool hitButton(const QPoint& pos) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void checkStateSet() override;
};

} // namespace app
