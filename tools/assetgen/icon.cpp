// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "icon.h"

#include <QPainter>
#include <cmath>
#include <numbers>

namespace {

const QColor kPetal{255, 0, 85};
const QColor kPetalEdge{176, 0, 58};
const QColor kStamen{254, 254, 0};
const QColor kStamenEdge{200, 120, 0};
constexpr int kIconSize = 32;
constexpr int kPetalCount = 5;

QPointF polar(QPointF centre, double radius, double turn) {
    const double a = turn * 2.0 * std::numbers::pi - std::numbers::pi / 2.0;
    return {centre.x() + radius * std::cos(a), centre.y() + radius * std::sin(a)};
}

void drawPetals(QPainter& painter, QPointF centre) {
    painter.setPen(QPen(kPetalEdge, 0.9));
    painter.setBrush(kPetal);
    for (int i = 0; i < kPetalCount; ++i) {
        const double turn = static_cast<double>(i) / kPetalCount;
        painter.save();
        painter.translate(polar(centre, 7.4, turn));
        painter.rotate(turn * 360.0);
        painter.drawEllipse(QPointF(0, 0), 6.0, 7.6);
        painter.restore();
    }
}

void drawStamens(QPainter& painter, QPointF centre) {
    painter.setPen(QPen(kStamenEdge, 0.7));
    painter.setBrush(kStamen);
    painter.drawEllipse(centre, 3.4, 3.4);
    for (int i = 0; i < kPetalCount; ++i) {
        const double turn = (i + 0.5) / kPetalCount;
        painter.drawEllipse(polar(centre, 6.0, turn), 1.3, 1.3);
    }
}

} // namespace

QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(static_cast<double>(size) / kIconSize, static_cast<double>(size) / kIconSize);
    const QPointF centre(kIconSize / 2.0, kIconSize / 2.0 + 0.5);
    drawPetals(painter, centre);
    drawStamens(painter, centre);
    return image;
}
