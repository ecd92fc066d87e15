// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/mood_bar.h"

#include "app/units.h"

#include <QPainter>
#include <cmath>

namespace app {

namespace {

// The frame spans the window's three grid rows.
constexpr double frameRows = 3;
// The name's line: 255 twips high, whatever the window's size.
constexpr double nameHeightTwips = 255;

} // namespace

MoodBar::MoodBar(const QString& name, int ceiling, QWidget* parent)
    : QWidget(parent), name_(name), ceiling_(ceiling) {
    setValue(0);
}

void MoodBar::setValue(int value) {
    if (value != value_) {
        value_ = value;
        setAccessibleName(QStringLiteral("%1 %2 / %3").arg(name_).arg(value).arg(ceiling_));
        update();
    }
}

// The fill is worked out in grid rows as the game always has, in single precision: the frame's
// height over the ceiling, times the value.
int MoodBar::fillHeight() const {
    const auto rows = static_cast<float>(frameRows / maximum() * value());
    return static_cast<int>(std::lround(rows * (height() / frameRows)));
}

void MoodBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width(), fillHeight()), QColor(0, 255, 255)); // ShpStr
    painter.setPen(QPen(QColor(0, 0, 255), 0));                                // ShpBak
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRect name(0, 0, width(), twipsToPixels(nameHeightTwips)); // LblStr
    painter.setClipRect(name);
    painter.drawText(QRect(name.topLeft(), QSize(width(), fontMetrics().height())),
                     Qt::TextSingleLine | Qt::AlignTop | Qt::AlignHCenter, name_);
}

} // namespace app
