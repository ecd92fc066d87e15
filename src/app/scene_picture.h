// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "files/picture.h"

#include <QAbstractButton>

namespace app {

// Pic, the scene on the left of the window. It shows its own picture, the opening one, 300 by 300
// pixels in its top-left corner, and over it what was painted on it since it was last cleared: a
// picture stretched over the whole box. Pressing it, by a click or by Space or Return while it
// has the focus, is pressing a button.
class ScenePicture final : public QAbstractButton {
public:
    explicit ScenePicture(QWidget* parent);

    // Erases what was painted; the box's own picture stays.
    void cls();
    // Paints the whole of `picture` stretched over the whole box, its proportions given up.
    void paintPicture(const files::Picture& picture);
    // The box's size in device pixels: what a picture stretched over it covers.
    QSize deviceSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void paintOpening(QPainter& painter);

    QImage opening_; // decoded when it first shows
    files::Picture painted_;
};

} // namespace app
