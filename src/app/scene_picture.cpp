// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/scene_picture.h"

#include <QKeyEvent>
#include <QPainter>
#include <cmath>

namespace app {

ScenePicture::ScenePicture(platform::Picture opening, QWidget* parent)
    : QAbstractButton(parent), opening_(std::move(opening)) {
    setFocusPolicy(Qt::TabFocus);
}

void ScenePicture::cls() {
    painted_ = {};
    update();
}

void ScenePicture::paintPicture(const platform::Picture& picture) {
    painted_ = picture;
    update();
}

QSize ScenePicture::deviceSize() const {
    const qreal ratio = devicePixelRatioF();
    return QSize(int(std::ceil(width() * ratio)), int(std::ceil(height() * ratio)));
}

void ScenePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QRectF own(QPointF(0, 0), QSizeF(opening_.size()));
    opening_.draw(painter, own, own);
    painted_.draw(painter, rect(), QRectF(QPointF(0, 0), QSizeF(painted_.size())));
}

// Space, Return and Enter press the picture at once; it has no other keys, not even the arrows
// that move the focus from other buttons.
void ScenePicture::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (!event->isAutoRepeat())
            click();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace app
