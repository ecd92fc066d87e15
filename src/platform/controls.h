// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/colour.h"
#include "platform/container.h"
#include "platform/picture.h"

#include <QRadioButton>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QButtonGroup;

namespace platform {

// A control placed in a container, measured in the container's units.
class Control {
public:
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Omitted values keep their present ones.
    void move(double left, std::optional<double> top = {}, std::optional<double> width = {},
              std::optional<double> height = {});
    void setWidth(double width);
    void setHeight(double height);
    double left() const { return rect_.left; }
    double top() const { return rect_.top; }
    double width() const { return rect_.width; }
    double height() const { return rect_.height; }
    QRect pixelRect() const { return container_.toPixels(rect_); }

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    Container& container() const { return container_; }

    // Used by the container when its scale changes (the control stays where
    // it is on screen) and when its drawing area is resized.
    void rescale(double factorX, double factorY);
    virtual void applyGeometry() = 0;

protected:
    Control(Container& container, Rect rect);
    virtual void applyVisible() = 0;
    virtual void applyEnabled() {}
    void setRectQuietly(Rect rect) { rect_ = rect; }

private:
    Container& container_;
    Rect rect_;
    bool visible_ = true;
    bool enabled_ = true;
};

// Labels and shapes: drawn by their container on its own surface.
class WindowlessControl : public Control {
public:
    virtual void paint(QPainter& painter) const = 0;
    void applyGeometry() override;

    // Raised after anything about the control changed: place, size, text, colour, visibility.
    std::function<void()> onChange;

protected:
    WindowlessControl(Container& container, Rect rect);
    void applyVisible() override { applyGeometry(); }
    // Sets one of what the control shows, and shows it.
    template <class Value> void change(Value& property, Value value) {
        property = value;
        applyGeometry();
    }

private:
    QRect lastPainted_; // the area to repaint when the control changes
};

enum class TextAlignment { Left, Centre };

class Label final : public WindowlessControl {
public:
    Label(Container& container, Rect rect);

    // Lines are separated by CR LF; text never wraps.
    void setCaption(const std::string& text);
    const std::string& caption() const { return caption_; }
    void setForeColor(Colour colour) { change(foreColor_, colour); }
    Colour foreColor() const { return foreColor_; }
    void setAlignment(TextAlignment alignment) { change(alignment_, alignment); }
    // A label that sizes itself to fit its text.
    void setAutoSize(bool autoSize);

    void paint(QPainter& painter) const override;
    std::unique_ptr<Label> clone(int index) const;

private:
    void fitToText();

    std::string caption_;
    QStringList lines_;
    Colour foreColor_ = 0;
    TextAlignment alignment_ = TextAlignment::Left;
    bool autoSize_ = false;
};

enum class FillStyle { Solid, Transparent };
enum class BorderStyle { None, Solid };

class Shape final : public WindowlessControl {
public:
    Shape(Container& container, Rect rect);

    void setFillStyle(FillStyle style) { change(fillStyle_, style); }
    void setFillColor(Colour colour) { change(fillColor_, colour); }
    void setBorderStyle(BorderStyle style) { change(borderStyle_, style); }
    void setBorderColor(Colour colour) { change(borderColor_, colour); }

    void paint(QPainter& painter) const override;
    std::unique_ptr<Shape> clone(int index) const;

private:
    FillStyle fillStyle_ = FillStyle::Transparent;
    BorderStyle borderStyle_ = BorderStyle::Solid;
    Colour fillColor_ = 0;
    Colour borderColor_ = 0;
};

// An option button that takes clicks anywhere in its cell, as a native one
// does (QRadioButton alone only reacts on its mark and its text), and whose
// arrow keys always move the mark with the focus.
class CellRadioButton final : public QRadioButton {
public:
    explicit CellRadioButton(QWidget* parent);

protected:
    bool hitButton(const QPoint& pos) const override;
    void keyPressEvent(QKeyEvent* event) override;
};

class OptionButton final : public Control {
public:
    OptionButton(Container& container, Rect rect, QButtonGroup& group, int index);

    void setCaption(const std::string& text);
    std::string caption() const;
    void setForeColor(Colour colour) {
        foreColor_ = colour;
        applyColours();
    }
    void setBackColor(Colour colour) {
        backColor_ = colour;
        applyColours();
    }
    // Marking one option unmarks the others of its group.
    void setValue(bool selected);
    bool value() const;

    // Raised once for every click on this option, by mouse or keyboard, also
    // on the option already marked; never by setValue.
    std::function<void()> onClick;

    void applyGeometry() override;
    std::unique_ptr<OptionButton> clone(int index) const;
    CellRadioButton& widget() const { return *button_; }

protected:
    void applyVisible() override;
    void applyEnabled() override;

private:
    void applyColours();
    void makeTabStopTheMarkedOption();

    QButtonGroup& group_;
    CellRadioButton* button_; // owned by the container's surface
    Colour foreColor_ = 0;
    Colour backColor_ = RGB(255, 255, 255);
};

class PictureBox;

// The surface of a picture box: background, its picture, what was painted on
// it, then its windowless children.
class PictureSurface final : public QWidget {
public:
    PictureSurface(QWidget* parent, PictureBox& box);
    PictureBox& box() const { return box_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Space or Return on a box that takes clicks is a click.
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    PictureBox& box_;
};

class PictureBox final : public Control, public Container {
public:
    PictureBox(Container& container, Rect rect);

    // The picture shown as the box's background, at its top-left corner.
    void setPicture(Picture picture);
    const Picture& picture() const { return picture_; }
    // A box that takes the size of its picture.
    void setAutoSize(bool autoSize);
    void setBackColor(Colour colour);

    // Erases everything painted since the last clearing.
    void cls();
    // Paints the part (x2, y2, width2, height2) of picture stretched into
    // (x1, y1, width1, height1); all in this box's units.
    void paintPicture(const Picture& picture, double x1, double y1, double width1, double height1,
                      double x2, double y2, double width2, double height2);

    std::function<void()> onClick;

    // The drawing area in device pixels: what a picture drawn over the whole box covers.
    QSize deviceSize() const;

    void applyGeometry() override;
    void paintSurface(QPainter& painter);
    void surfaceResized();

protected:
    void applyVisible() override;

private:
    struct PaintedPicture {
        Picture picture;
        QRectF target; // as fractions of the drawing area, so it follows a resize
        QRectF source;
    };
    void renderCanvas();
    void fitToPicture();

    PictureSurface* surface_; // owned by the container's surface
    Picture picture_;
    bool autoSize_ = false;
    Colour backColor_ = RGB(255, 255, 255);
    std::vector<PaintedPicture> painted_;
    QImage canvas_;
};

} // namespace platform
