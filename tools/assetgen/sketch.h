// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "noise.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cstdint>
#include <initializer_list>

// Every picture is drawn in the same hand: reddish-brown ink on white paper.
inline const QColor kInk{150, 68, 48};
inline const QColor kPaper{255, 254, 252};
// The pictures are composed on a square of 300 units and saved at 1364 pixels
// across: a 1920-pixel-wide screen at twice the scale shows them without
// enlarging, and the usual picture area of 341 pixels (682 at twice the scale)
// decodes them at a quarter (a half) by libjpeg's own scaling, with nothing
// left to resample.
constexpr int kCanvasSize = 300;
constexpr int kPictureSize = 1364;
constexpr double kPixelsPerUnit = static_cast<double>(kPictureSize) / kCanvasSize;

QImage blankPaper();
bool saveJpeg(const QImage& image, const QString& path);

// A path of straight segments through the points.
QPainterPath polyline(std::initializer_list<QPointF> points);
// A smooth path through every point (Catmull-Rom), for the organic shapes.
QPainterPath smoothCurve(std::initializer_list<QPointF> points, bool closed = false);

// A pen that draws like a hand: every stroke wobbles a little, varies in
// pressure along its length and is now and then gone over a second time.
class SketchPen {
public:
    SketchPen(QPainter& painter, std::uint64_t seed);

    double weight() const { return weight_; }
    void setWeight(double width) { weight_ = width; }
    // 0 draws in full ink, 1 would draw in the paper's colour.
    double shade() const { return shade_; }
    void setShade(double lightness) { shade_ = lightness; }

    void stroke(const QPainterPath& path);
    // A straight line that runs a little past its ends, as a quick hand does.
    void line(QPointF from, QPointF to);
    // Parallel light strokes clipped to the area, as pencil shading.
    void hatch(const QPainterPath& area, double angleDegrees, double spacing);
    void dot(QPointF centre, double radius);
    // Paints the area in the paper's colour, so a thing in front hides what
    // was drawn behind it.
    void erase(const QPainterPath& area);

private:
    QPolygonF resampled(const QPolygonF& points) const;
    QPolygonF wobbled(const QPolygonF& points);
    void strokePolyline(const QPolygonF& points);
    void drawPressured(const QPolygonF& points, double lightness, double width);

    QPainter& painter_;
    Random random_;
    double weight_ = 1.1;
    double shade_ = 0.0;
};

// Sets the pen's shade and weight for one scope and restores them after.
class PenStyle {
public:
    PenStyle(SketchPen& pen, double shade, double weight)
        : pen_(pen), oldShade_(pen.shade()), oldWeight_(pen.weight()) {
        pen_.setShade(shade);
        pen_.setWeight(weight);
    }
    ~PenStyle() {
        pen_.setShade(oldShade_);
        pen_.setWeight(oldWeight_);
    }
    PenStyle(const PenStyle&) = delete;
    PenStyle& operator=(const PenStyle&) = delete;

private:
    SketchPen& pen_;
    double oldShade_;
    double oldWeight_;
};
