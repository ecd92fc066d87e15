// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/scene_picture.h"

#include <QImageReader>
#include <QKeyEvent>
#include <QPainter>
#include <cmath>

namespace app {

namespace {

// The opening picture's file holds enough pixels for a dense screen; it shows at this size.
constexpr QSize openingSize(300, 300);

} // namespace

ScenePicture::ScenePicture(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::TabFocus);
}

void ScenePicture::cls() {
    painted_ = {};
    update();
}

void ScenePicture::paintPicture(const files::Picture& picture) {
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
    if (painted_.isEmpty() || painted_.hasAlpha())
        paintOpening(painter);
    painted_.draw(painter, rect(), QRectF(QPointF(0, 0), QSizeF(painted_.size())));
}

// Decoded only when it shows, as it seldom does: the first scene covers it at once.
void ScenePicture::paintOpening(QPainter& painter) {
    if (opening_.isNull()) {
        QImageReader reader(QStringLiteral(":/opening.jpg"));
        reader.setScaledSize(openingSize * devicePixelRatio());
        opening_ = reader.read();
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(openingSize)), opening_);
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
