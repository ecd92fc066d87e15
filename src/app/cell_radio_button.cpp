// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/cell_radio_button.h"

#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>

namespace app {

CellRadioButton::CellRadioButton(QWidget* parent) : QRadioButton(parent) {
    setFocusPolicy(Qt::ClickFocus);
}

bool CellRadioButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

// Qt moves the mark along with the focus only when the focus leaves the marked option; a native
// group always does.
void CellRadioButton::keyPressEvent(QKeyEvent* event) {
    QRadioButton::keyPressEvent(event);
    const bool arrow = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down ||
                       event->key() == Qt::Key_Left || event->key() == Qt::Key_Right;
    auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    if (arrow && focused && focused != this && focused->group() == group() && !focused->isChecked())
        focused->click();
}

// Marking one option unmarks the others, so each of them hears of it.
void CellRadioButton::checkStateSet() {
    QRadioButton::checkStateSet();
    setFocusPolicy(isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace app
