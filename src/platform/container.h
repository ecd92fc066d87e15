// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QRect>
#include <vector>

class QPainter;
class QWidget;

namespace platform {

class Control;
class WindowlessControl;

// The units a container measures its children in.
enum class ScaleMode { User = 0, Twips = 1, Pixels = 3 };

// A rectangle in a container's units.
struct Rect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// Twips per logical pixel on this screen (15 at 96 DPI).
double twipsPerPixel();

// Anything that holds controls: the window and picture boxes. It owns the
// scale its children are placed in and draws its windowless children (labels
// and shapes) itself, back to front, beneath its windowed children.
class Container {
public:
    explicit Container(QWidget& surface);
    virtual ~Container() = default;
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;

    void setScaleMode(ScaleMode mode);
    double scaleWidth() const;
    double scaleHeight() const;
    // Either call switches to a user scale over the present drawing area.
    void setScaleWidth(double width);
    void setScaleHeight(double height);

    // Whole pixels of a rectangle in this container's units. Edges are rounded
    // on their own, so neighbouring rectangles meet without gaps.
    QRect toPixels(const Rect& rect) const;
    double unitsFromPixelsX(double pixels) const;
    double unitsFromPixelsY(double pixels) const;

    QWidget& surface() const { return surface_; }
    // The drawing area in logical pixels.
    QSize innerSize() const;

    void adopt(Control& child);
    void adoptWindowless(WindowlessControl& child);
    void bringToFront(WindowlessControl& child);
    void sendToBack(WindowlessControl& child);
    void paintWindowless(QPainter& painter) const;

    // Called when the drawing area changed size: children keep their position
    // in this container's units.
    void drawingAreaResized();

private:
    double pixelsPerUnit(int pixels, double userUnits) const;
    double pixelsPerUnitX() const { return pixelsPerUnit(innerSize().width(), userWidth_); }
    double pixelsPerUnitY() const { return pixelsPerUnit(innerSize().height(), userHeight_); }
    void switchToUserScale(double width, double height);
    void keepChildrenInPlace(double oldPerUnitX, double oldPerUnitY);

    QWidget& surface_;
    ScaleMode mode_ = ScaleMode::Twips;
    double userWidth_ = 1;
    double userHeight_ = 1;
    std::vector<Control*> children_;
    std::vector<WindowlessControl*> windowless_; // back to front
};

} // namespace platform
