// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "sketch.h"

#include <QImageWriter>
#include <QLineF>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Strokes are laid down in pieces of about two pixels, so that curves stay round.
constexpr double kResampleStep = 2.0 / kPixelsPerUnit;
constexpr double kPressureWavelength = 24.0;
constexpr double kWobbleWavelength = 22.0;
constexpr double kWobbleAmplitude = 0.75;
constexpr double kSecondPassChance = 0.3;

QColor inkAt(double lightness) {
    const double t = std::clamp(lightness, 0.0, 1.0);
    auto mix = [t](int ink, int paper) {
        return static_cast<int>(std::lround(ink + (paper - ink) * t));
    };
    return QColor(mix(kInk.red(), kPaper.red()), mix(kInk.green(), kPaper.green()),
                  mix(kInk.blue(), kPaper.blue()));
}

double polylineLength(const QPolygonF& points) {
    double length = 0.0;
    for (qsizetype i = 1; i < points.size(); ++i) {
        length += QLineF(points[i - 1], points[i]).length();
    }
    return length;
}

QPointF unitNormal(QPointF from, QPointF to) {
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    if (length < 1e-9) {
        return {0.0, 0.0};
    }
    return {-d.y() / length, d.x() / length};
}

} // namespace

QImage blankPaper() {
    QImage image(kPictureSize, kPictureSize, QImage::Format_RGB32);
    image.fill(kPaper);
    return image;
}

// Baseline, not progressive: a baseline JPEG decodes a row at a time, a progressive one holds
// the whole picture's coefficients while it decodes. At this many pixels per line, quality 80
// shows no more of JPEG's blocks than 88 did at 300 pixels, and saves a fifth of the bytes.
bool saveJpeg(const QImage& image, const QString& path) {
    QImageWriter writer(path, "jpeg");
    writer.setQuality(80);
    writer.setOptimizedWrite(true);
    if (!writer.write(image)) {
        std::fprintf(stderr, "sorawata-assetgen: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

QPainterPath polyline(std::initializer_list<QPointF> points) {
    QPainterPath path;
    bool first = true;
    for (const QPointF& point : points) {
        if (first) {
            path.moveTo(point);
            first = false;
        } else {
            path.lineTo(point);
        }
    }
    return path;
}

QPainterPath smoothCurve(std::initializer_list<QPointF> points, bool closed) {
    const std::vector<QPointF> p(points);
    const auto n = static_cast<long>(p.size());
    auto at = [&](long i) {
        if (closed) {
            return p[static_cast<std::size_t>((i % n + n) % n)];
        }
        return p[static_cast<std::size_t>(std::clamp(i, 0L, n - 1))];
    };
    QPainterPath path(p.front());
    const long segments = closed ? n : n - 1;
    for (long i = 0; i < segments; ++i) {
        const QPointF control1 = at(i) + (at(i + 1) - at(i - 1)) / 6.0;
        const QPointF control2 = at(i + 1) - (at(i + 2) - at(i)) / 6.0;
        path.cubicTo(control1, control2, at(i + 1));
    }
    return path;
}

SketchPen::SketchPen(QPainter& painter, std::uint64_t seed) : painter_(painter), random_(seed) {
    painter_.setRenderHint(QPainter::Antialiasing, true);
}

void SketchPen::stroke(const QPainterPath& path) {
    // Curves are flattened at the picture's resolution rather than the units'.
    const QTransform toPixels = QTransform::fromScale(kPixelsPerUnit, kPixelsPerUnit);
    for (const QPolygonF& part : path.toSubpathPolygons(toPixels)) {
        strokePolyline(toPixels.inverted().map(part));
    }
}

void SketchPen::line(QPointF from, QPointF to) {
    const QLineF straight(from, to);
    if (straight.length() < 1e-6) {
        return;
    }
    const QPointF direction = (to - from) / straight.length();
    const QPointF start = from - direction * random_.between(0.0, 1.8);
    const QPointF end = to + direction * random_.between(0.0, 1.8);
    strokePolyline(QPolygonF({start, end}));
}

void SketchPen::hatch(const QPainterPath& area, double angleDegrees, double spacing) {
    const QRectF bounds = area.boundingRect();
    const QPointF centre = bounds.center();
    const double reach = std::hypot(bounds.width(), bounds.height()) / 2.0 + spacing;
    QTransform turn;
    turn.translate(centre.x(), centre.y());
    turn.rotate(angleDegrees);

    painter_.save();
    painter_.setClipPath(area, Qt::IntersectClip);
    for (double offset = -reach; offset <= reach; offset += spacing) {
        const double across = offset + random_.between(-0.25, 0.25) * spacing;
        const QPointF from = turn.map(QPointF(-reach, across));
        const QPointF to = turn.map(QPointF(reach, across));
        drawPressured(wobbled(resampled(QPolygonF({from, to}))), shade_ + 0.25, weight_ * 0.55);
    }
    painter_.restore();
}

void SketchPen::dot(QPointF centre, double radius) {
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(inkAt(shade_));
    painter_.drawEllipse(centre, radius, radius);
    painter_.setBrush(Qt::NoBrush);
}

void SketchPen::erase(const QPainterPath& area) {
    painter_.fillPath(area, kPaper);
}

QPolygonF SketchPen::resampled(const QPolygonF& points) const {
    QPolygonF result;
    if (points.isEmpty()) {
        return result;
    }
    result << points.front();
    for (qsizetype i = 1; i < points.size(); ++i) {
        const QLineF segment(points[i - 1], points[i]);
        const int steps = std::max(1, static_cast<int>(segment.length() / kResampleStep));
        for (int s = 1; s <= steps; ++s) {
            result << segment.pointAt(static_cast<double>(s) / steps);
        }
    }
    return result;
}

QPolygonF SketchPen::wobbled(const QPolygonF& points) {
    const double length = polylineLength(points);
    const int knots = static_cast<int>(length / kWobbleWavelength) + 2;
    const SmoothNoise ripple(random_, knots);
    const SmoothNoise bow(random_, 2);
    // Short strokes wobble less, as a hand is steadier over a short distance.
    const double amplitude = kWobbleAmplitude * std::min(1.0, length / 30.0 + 0.3);
    const double bowAmplitude = std::min(length * 0.012, 1.6);

    QPolygonF result;
    double travelled = 0.0;
    for (qsizetype i = 0; i < points.size(); ++i) {
        if (i > 0) {
            travelled += QLineF(points[i - 1], points[i]).length();
        }
        const QPointF neighbour = i + 1 < points.size() ? points[i + 1] : points[i];
        const QPointF previous = i > 0 ? points[i - 1] : points[i];
        const QPointF normal = unitNormal(previous, neighbour);
        const double along = length > 0.0 ? travelled / length : 0.0;
        const double offset = amplitude * ripple.at(travelled / kWobbleWavelength) +
                              bowAmplitude * bow.at(along) * std::sin(along * std::numbers::pi);
        result << points[i] + normal * offset;
    }
    return result;
}

void SketchPen::strokePolyline(const QPolygonF& points) {
    const QPolygonF dense = resampled(points);
    drawPressured(wobbled(dense), shade_, weight_);
    // Long lines are sometimes gone over again, lighter and not end to end.
    if (polylineLength(dense) > 30.0 && random_.next() < kSecondPassChance) {
        const auto count = dense.size();
        const auto first = static_cast<qsizetype>(count * random_.between(0.0, 0.3));
        const auto last = static_cast<qsizetype>(count * random_.between(0.7, 1.0));
        const QPolygonF part = dense.mid(first, std::max<qsizetype>(2, last - first));
        drawPressured(wobbled(part), shade_ + 0.35, weight_ * 0.7);
    }
}

void SketchPen::drawPressured(const QPolygonF& points, double lightness, double width) {
    if (points.size() < 2) {
        return;
    }
    const SmoothNoise pressure(random_,
                               static_cast<int>(polylineLength(points) / kPressureWavelength) + 2);
    double travelled = 0.0;
    for (qsizetype i = 1; i < points.size(); ++i) {
        travelled += QLineF(points[i - 1], points[i]).length();
        const double p = pressure.at(travelled / kPressureWavelength);
        QPen pen(inkAt(lightness + 0.12 * (1.0 - p)), width * (0.85 + 0.25 * p), Qt::SolidLine,
                 Qt::RoundCap, Qt::RoundJoin);
        painter_.setPen(pen);
        painter_.drawLine(points[i - 1], points[i]);
    }
}
