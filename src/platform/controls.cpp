// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "platform/controls.h"

#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <cmath>

namespace platform {

// --- Control ---------------------------------------------------------------

Control::Control(Container& container, Rect rect) : container_(container), rect_(rect) {
    container_.adopt(*this);
}

void Control::move(double left, std::optional<double> top, std::optional<double> width,
                   std::optional<double> height) {
    rect_.left = left;
    rect_.top = top.value_or(rect_.top);
    rect_.width = width.value_or(rect_.width);
    rect_.height = height.value_or(rect_.height);
    applyGeometry();
}

void Control::setWidth(double width) {
    move(rect_.left, {}, width);
}
void Control::setHeight(double height) {
    move(rect_.left, {}, {}, height);
}

void Control::setVisible(bool visible) {
    visible_ = visible;
    applyVisible();
}

void Control::setEnabled(bool enabled) {
    enabled_ = enabled;
    applyEnabled();
}

void Control::rescale(double factorX, double factorY) {
    rect_.left *= factorX;
    rect_.width *= factorX;
    rect_.top *= factorY;
    rect_.height *= factorY;
    applyGeometry();
}

WindowlessControl::WindowlessControl(Container& container, Rect rect) : Control(container, rect) {
    container.adoptWindowless(*this);
}

// Only the area the control covered and now covers is repainted: a bar
// growing every few hundred milliseconds must not repaint the whole window.
void WindowlessControl::applyGeometry() {
    const QRect now = pixelRect();
    container().surface().update(lastPainted_.united(now));
    lastPainted_ = now;
    if (onChange) {
        onChange();
    }
}

// --- Label -----------------------------------------------------------------

Label::Label(Container& container, Rect rect) : WindowlessControl(container, rect) {}

void Label::setCaption(const std::string& text) {
    caption_ = text;
    lines_ = QString::fromStdString(text).split(QStringLiteral("\r\n"));
    fitToText();
    applyGeometry();
}

void Label::setAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    fitToText();
}

void Label::fitToText() {
    if (!autoSize_) {
        return;
    }
    const QFontMetrics metrics(container().surface().font());
    int widest = 0;
    for (const QString& line : lines_) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    const int high = metrics.height() * static_cast<int>(lines_.size());
    setRectQuietly(
        {left(), top(), container().unitsFromPixelsX(widest), container().unitsFromPixelsY(high)});
}

void Label::paint(QPainter& painter) const {
    const QRect area = pixelRect();
    const QFontMetrics metrics(container().surface().font());
    painter.save();
    painter.setClipRect(area);
    painter.setPen(toQColor(foreColor_));
    const int flags = Qt::TextSingleLine | Qt::AlignTop |
                      (alignment_ == TextAlignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft);
    int y = area.top();
    for (const QString& line : lines_) {
        painter.drawText(QRect(area.left(), y, area.width(), metrics.height()), flags, line);
        y += metrics.height();
    }
    painter.restore();
}

std::unique_ptr<Label> Label::clone(int) const {
    auto copy = std::make_unique<Label>(container(), Rect{left(), top(), width(), height()});
    copy->setVisible(false);
    copy->foreColor_ = foreColor_;
    copy->alignment_ = alignment_;
    copy->autoSize_ = autoSize_;
    copy->setCaption(caption_);
    return copy;
}

// --- Shape -----------------------------------------------------------------

Shape::Shape(Container& container, Rect rect) : WindowlessControl(container, rect) {}

void Shape::paint(QPainter& painter) const {
    const QRect area = pixelRect();
    if (area.isEmpty()) {
        return;
    }
    if (fillStyle_ == FillStyle::Solid) {
        painter.fillRect(area, toQColor(fillColor_));
    }
    if (borderStyle_ == BorderStyle::Solid) {
        // A one-pixel outline drawn inside the rectangle.
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        QPen pen(toQColor(borderColor_), 0);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        painter.restore();
    }
}

std::unique_ptr<Shape> Shape::clone(int) const {
    auto copy = std::make_unique<Shape>(container(), Rect{left(), top(), width(), height()});
    copy->setVisible(false);
    copy->fillStyle_ = fillStyle_;
    copy->borderStyle_ = borderStyle_;
    copy->fillColor_ = fillColor_;
    copy->borderColor_ = borderColor_;
    return copy;
}

// --- OptionButton ----------------------------------------------------------

CellRadioButton::CellRadioButton(QWidget* parent) : QRadioButton(parent) {}

bool CellRadioButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

// Qt moves the mark along with the focus only when the focus leaves the
// marked option; a native group always does.
void CellRadioButton::keyPressEvent(QKeyEvent* event) {
    QRadioButton::keyPressEvent(event);
    const bool arrow = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down ||
                       event->key() == Qt::Key_Left || event->key() == Qt::Key_Right;
    auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    if (arrow && focused && focused != this && focused->group() == group() &&
        !focused->isChecked()) {
        focused->click();
    }
}

OptionButton::OptionButton(Container& container, Rect rect, QButtonGroup& group, int index)
    : Control(container, rect), group_(group), button_(new CellRadioButton(&container.surface())) {
    group_.addButton(button_, index);
    button_->setAutoFillBackground(true);
    button_->setBackgroundRole(QPalette::Window);
    QObject::connect(button_, &QAbstractButton::clicked, [this] {
        if (onClick) {
            onClick();
        }
    });
    QObject::connect(button_, &QAbstractButton::toggled, [this](bool marked) {
        if (marked) {
            makeTabStopTheMarkedOption();
        }
    });
    makeTabStopTheMarkedOption();
    applyColours();
    applyGeometry();
    button_->show();
}

void OptionButton::setCaption(const std::string& text) {
    button_->setText(QString::fromStdString(text));
}

std::string OptionButton::caption() const {
    return button_->text().toStdString();
}

void OptionButton::applyColours() {
    QPalette palette = button_->palette();
    palette.setColor(QPalette::WindowText, toQColor(foreColor_));
    palette.setColor(QPalette::ButtonText, toQColor(foreColor_));
    palette.setColor(QPalette::Window, toQColor(backColor_));
    palette.setColor(QPalette::Button, toQColor(backColor_));
    button_->setPalette(palette);
}

// Tab enters the group at its marked option; the arrow keys move within it.
void OptionButton::makeTabStopTheMarkedOption() {
    const QAbstractButton* marked = group_.checkedButton();
    for (QAbstractButton* button : group_.buttons()) {
        const bool stop = marked == nullptr || button == marked;
        button->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

void OptionButton::setValue(bool selected) {
    button_->setChecked(selected);
}
bool OptionButton::value() const {
    return button_->isChecked();
}

void OptionButton::applyGeometry() {
    button_->setGeometry(pixelRect());
}
void OptionButton::applyVisible() {
    button_->setVisible(visible());
}
void OptionButton::applyEnabled() {
    button_->setEnabled(enabled());
}

std::unique_ptr<OptionButton> OptionButton::clone(int index) const {
    auto copy = std::make_unique<OptionButton>(container(), Rect{left(), top(), width(), height()},
                                               group_, index);
    copy->setVisible(false);
    copy->setCaption(caption());
    copy->foreColor_ = foreColor_;
    copy->backColor_ = backColor_;
    copy->applyColours();
    copy->button_->setFont(button_->font());
    if (QAbstractButton* previous = group_.button(index - 1)) {
        QWidget::setTabOrder(previous, copy->button_);
    }
    return copy;
}

// --- PictureBox ------------------------------------------------------------

PictureSurface::PictureSurface(QWidget* parent, PictureBox& box) : QWidget(parent), box_(box) {}

void PictureSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    box_.paintSurface(painter);
}

void PictureSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        box_.onClick) {
        box_.onClick();
    }
}

void PictureSurface::keyPressEvent(QKeyEvent* event) {
    const bool press = event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
                       event->key() == Qt::Key_Enter;
    if (press && box_.onClick) {
        if (!event->isAutoRepeat()) {
            box_.onClick();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void PictureSurface::resizeEvent(QResizeEvent*) {
    box_.surfaceResized();
}

PictureBox::PictureBox(Container& container, Rect rect)
    : Control(container, rect), Container(*new PictureSurface(&container.surface(), *this)),
      surface_(static_cast<PictureSurface*>(&Container::surface())) {
    surface_->setFocusPolicy(Qt::TabFocus); // a tab stop, as picture boxes are
    applyGeometry();
    surface_->show();
}

void PictureBox::setPicture(Picture picture) {
    picture_ = std::move(picture);
    fitToPicture();
    surface_->update();
}

void PictureBox::setAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    fitToPicture();
}

void PictureBox::fitToPicture() {
    if (!autoSize_ || picture_.isEmpty()) {
        return;
    }
    const QSize size = picture_.size();
    setRectQuietly({left(), top(), Control::container().unitsFromPixelsX(size.width()),
                    Control::container().unitsFromPixelsY(size.height())});
    applyGeometry();
}

void PictureBox::setBackColor(Colour colour) {
    backColor_ = colour;
    surface_->update();
}

void PictureBox::cls() {
    painted_.clear();
    canvas_ = QImage();
    surface_->update();
}

void PictureBox::paintPicture(const Picture& picture, double x1, double y1, double width1,
                              double height1, double x2, double y2, double width2, double height2) {
    if (picture.isEmpty()) {
        return;
    }
    const QSizeF area = innerSize();
    const double perUnitX = 1.0 / unitsFromPixelsX(1.0);
    const double perUnitY = 1.0 / unitsFromPixelsY(1.0);
    const QRectF target(x1 * perUnitX / area.width(), y1 * perUnitY / area.height(),
                        width1 * perUnitX / area.width(), height1 * perUnitY / area.height());
    const QRectF source(x2 * perUnitX, y2 * perUnitY, width2 * perUnitX, height2 * perUnitY);
    painted_.push_back({picture, target, source});
    renderCanvas();
    surface_->update();
}

QSize PictureBox::deviceSize() const {
    const qreal ratio = surface_->devicePixelRatioF();
    const QSize area = innerSize();
    return QSize(int(std::ceil(area.width() * ratio)), int(std::ceil(area.height() * ratio)));
}

// What was painted is kept at device resolution, so the scene survives being
// covered and stays sharp on high-density screens.
void PictureBox::renderCanvas() {
    const QSize area = innerSize();
    if (painted_.empty() || area.isEmpty()) {
        canvas_ = QImage();
        return;
    }
    canvas_ = QImage(deviceSize(), QImage::Format_ARGB32_Premultiplied);
    canvas_.setDevicePixelRatio(surface_->devicePixelRatioF());
    canvas_.fill(Qt::transparent);
    QPainter painter(&canvas_);
    // Onto the cleared canvas the first picture is copied rather than blended: the same pixels
    // for less work.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const PaintedPicture& painted : painted_) {
        const QRectF target(painted.target.x() * area.width(), painted.target.y() * area.height(),
                            painted.target.width() * area.width(),
                            painted.target.height() * area.height());
        painted.picture.draw(painter, target, painted.source);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

void PictureBox::paintSurface(QPainter& painter) {
    painter.fillRect(surface_->rect(), toQColor(backColor_));
    if (!picture_.isEmpty()) {
        picture_.draw(painter, QRectF(QPointF(0, 0), QSizeF(picture_.size())),
                      QRectF(QPointF(0, 0), QSizeF(picture_.size())));
    }
    if (!canvas_.isNull()) {
        painter.drawImage(QPointF(0, 0), canvas_);
    }
    paintWindowless(painter);
}

void PictureBox::surfaceResized() {
    renderCanvas();
    drawingAreaResized();
}

void PictureBox::applyGeometry() {
    surface_->setGeometry(pixelRect());
}

void PictureBox::applyVisible() {
    surface_->setVisible(visible());
}

} // namespace platform
