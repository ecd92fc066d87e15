// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/controls.h"

#include "app/units.h"

#include <QApplication>
#include <QButtonGroup>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <cmath>

namespace app {

// Qt moves the mark with the focus only when it leaves the marked option; a native group always.
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

constexpr double frameRows = 3;         // the frame spans the window's three grid rows
constexpr double nameHeightTwips = 255; // the name's line, whatever the window's size

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

// In grid rows as the game always has, in single precision: frame height / ceiling * value.
int MoodBar::fillHeight() const {
    const auto rows = static_cast<float>(frameRows / ceiling_ * value_);
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

// The opening picture's file holds enough pixels for a dense screen; it shows at this size.
constexpr QSize openingSize(300, 300);

QSize ScenePicture::deviceSize() const {
    const qreal ratio = devicePixelRatioF();
    return QSize(int(std::ceil(width() * ratio)), int(std::ceil(height() * ratio)));
}

void ScenePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!asked_.onItsWay())
        shown_ = asked_;
    if (!shown_)
        return;
    if (shown_->isEmpty() || shown_->hasAlpha())
        paintOpening(painter);
    shown_->draw(painter, rect());
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

// Space, Return and Enter press the picture at once; it has no other keys, not even the arrows.
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
