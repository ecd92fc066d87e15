// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/murmur_label.h"

#include <QLabel>
#include <QPainter>

namespace app {

MurmurLabel::MurmurLabel(QWidget* parent)
    : QWidget(parent), lines_{QString()}, readable_(new QLabel(this)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void MurmurLabel::setCaption(const std::string& text) {
    const QStringList lines = QString::fromStdString(text).split(QStringLiteral("\r\n"));
    if (lines == lines_)
        return;
    lines_ = lines;
    int widest = 0;
    for (const QString& line : lines_)
        widest = std::max(widest, fontMetrics().horizontalAdvance(line));
    resize(widest, fontMetrics().height() * static_cast<int>(lines_.size()));
    readable_->resize(size());
    readable_->setAccessibleName(this->text());
    update();
}

void MurmurLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const int lineHeight = fontMetrics().height();
    for (int i = 0; i < lines_.size(); ++i) {
        painter.drawText(QRect(0, i * lineHeight, width(), lineHeight),
                         Qt::TextSingleLine | Qt::AlignTop | Qt::AlignLeft, lines_[i]);
    }
}

} // namespace app
