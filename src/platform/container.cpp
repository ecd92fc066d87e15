// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "platform/container.h"

#include "platform/controls.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace platform {

double twipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / dpi;
}

Container::Container(QWidget& surface) : surface_(surface) {}

QSize Container::innerSize() const {
    return surface_.size();
}

// Along an axis of `pixels` that a user scale divides into `userUnits`.
double Container::pixelsPerUnit(int pixels, double userUnits) const {
    switch (mode_) {
    case ScaleMode::User:
        return pixels / userUnits;
    case ScaleMode::Twips:
        return 1.0 / twipsPerPixel();
    case ScaleMode::Pixels:
        return 1.0;
    }
    return 1.0;
}

double Container::scaleWidth() const {
    return innerSize().width() / pixelsPerUnitX();
}
double Container::scaleHeight() const {
    return innerSize().height() / pixelsPerUnitY();
}

void Container::setScaleMode(ScaleMode mode) {
    const double oldX = pixelsPerUnitX();
    const double oldY = pixelsPerUnitY();
    if (mode == ScaleMode::User) {
        userWidth_ = scaleWidth();
        userHeight_ = scaleHeight();
    }
    mode_ = mode;
    keepChildrenInPlace(oldX, oldY);
}

void Container::setScaleWidth(double width) {
    switchToUserScale(width, scaleHeight());
}
void Container::setScaleHeight(double height) {
    switchToUserScale(scaleWidth(), height);
}

void Container::switchToUserScale(double width, double height) {
    const double oldX = pixelsPerUnitX();
    const double oldY = pixelsPerUnitY();
    userWidth_ = width;
    userHeight_ = height;
    mode_ = ScaleMode::User;
    keepChildrenInPlace(oldX, oldY);
}

// A new scale changes the units, not where the children stand on screen.
void Container::keepChildrenInPlace(double oldPerUnitX, double oldPerUnitY) {
    const double fx = oldPerUnitX / pixelsPerUnitX();
    const double fy = oldPerUnitY / pixelsPerUnitY();
    for (Control* child : children_) {
        child->rescale(fx, fy);
    }
}

QRect Container::toPixels(const Rect& rect) const {
    const double px = pixelsPerUnitX();
    const double py = pixelsPerUnitY();
    const int left = static_cast<int>(std::lround(rect.left * px));
    const int top = static_cast<int>(std::lround(rect.top * py));
    const int right = static_cast<int>(std::lround((rect.left + rect.width) * px));
    const int bottom = static_cast<int>(std::lround((rect.top + rect.height) * py));
    return QRect(left, top, right - left, bottom - top);
}

double Container::unitsFromPixelsX(double pixels) const {
    return pixels / pixelsPerUnitX();
}
double Container::unitsFromPixelsY(double pixels) const {
    return pixels / pixelsPerUnitY();
}

void Container::adopt(Control& child) {
    children_.push_back(&child);
}

void Container::adoptWindowless(WindowlessControl& child) {
    windowless_.push_back(&child);
}

void Container::bringToFront(WindowlessControl& child) {
    std::erase(windowless_, &child);
    windowless_.push_back(&child);
    surface_.update();
}

void Container::sendToBack(WindowlessControl& child) {
    std::erase(windowless_, &child);
    windowless_.insert(windowless_.begin(), &child);
    surface_.update();
}

void Container::paintWindowless(QPainter& painter) const {
    for (const WindowlessControl* child : windowless_) {
        if (child->visible()) {
            child->paint(painter);
        }
    }
}

void Container::drawingAreaResized() {
    for (Control* child : children_) {
        child->applyGeometry();
    }
    surface_.update();
}

} // namespace platform
