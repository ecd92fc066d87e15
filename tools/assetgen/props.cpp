// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "props.h"

#include <QTransform>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

QPainterPath ellipsePath(QPointF centre, double rx, double ry) {
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    return path;
}

QPainterPath roundedRectPath(const QRectF& rect, double radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// An arc of the ellipse around centre, angles in degrees counted clockwise
// from three o'clock on screen.
QPainterPath arcPath(QPointF centre, double rx, double ry, double fromDegrees, double toDegrees) {
    QPainterPath path;
    const int steps = 24;
    for (int i = 0; i <= steps; ++i) {
        const double a = (fromDegrees + (toDegrees - fromDegrees) * i / steps) * kDegree;
        const QPointF point(centre.x() + rx * std::cos(a), centre.y() + ry * std::sin(a));
        if (i == 0) {
            path.moveTo(point);
        } else {
            path.lineTo(point);
        }
    }
    return path;
}

QPointF onCircle(QPointF centre, double radius, double clockDegrees) {
    const double a = (clockDegrees - 90.0) * kDegree;
    return {centre.x() + radius * std::cos(a), centre.y() + radius * std::sin(a)};
}

// Maps figure coordinates (a unit drawing around the origin) into the scene.
QTransform placement(QPointF origin, double scale, bool mirrored = false) {
    QTransform transform;
    transform.translate(origin.x(), origin.y());
    transform.scale(mirrored ? -scale : scale, scale);
    return transform;
}

void drawMoonAndStars(SketchPen& pen, const QRectF& upperRightPane, const QRectF& upperLeftPane,
                      QPainterPath& unlit) {
    const double radius = std::min(upperRightPane.width(), upperRightPane.height()) * 0.2;
    const QPointF centre(upperRightPane.right() - upperRightPane.width() * 0.38,
                         upperRightPane.top() + upperRightPane.height() * 0.38);
    const QPainterPath crescent =
        ellipsePath(centre, radius, radius)
            .subtracted(ellipsePath(centre + QPointF(-radius * 0.5, -radius * 0.25), radius * 0.9,
                                    radius * 0.9));
    unlit = unlit.subtracted(crescent);
    const QPointF stars[] = {
        {upperLeftPane.left() + upperLeftPane.width() * 0.3, upperLeftPane.top() + 14},
        {upperLeftPane.left() + upperLeftPane.width() * 0.7, upperLeftPane.top() + 32},
        {upperRightPane.left() + 12, upperRightPane.bottom() - 14},
    };
    for (const QPointF& star : stars) {
        unlit = unlit.subtracted(ellipsePath(star, 1.6, 1.6));
    }
    pen.hatch(unlit, 45.0, 3.0);
    pen.hatch(unlit, -40.0, 4.5);
    pen.stroke(crescent);
}

void drawDawn(SketchPen& pen, const QRectF& glass) {
    const double horizon = glass.top() + glass.height() * 0.7;
    const QPointF sun(glass.center().x() + glass.width() * 0.12, horizon);
    const double radius = glass.width() * 0.09;
    pen.stroke(arcPath(sun, radius, radius, 180.0, 360.0));
    PenStyle light(pen, 0.3, 0.9);
    for (int ray = 0; ray < 7; ++ray) {
        const double a = (195.0 + ray * 25.0) * kDegree;
        const QPointF direction(std::cos(a), std::sin(a));
        pen.line(sun + direction * radius * 1.35, sun + direction * radius * 1.9);
    }
    pen.stroke(smoothCurve({{glass.left(), horizon + 4},
                            {glass.left() + glass.width() * 0.3, horizon - 3},
                            {glass.left() + glass.width() * 0.6, horizon + 1},
                            {glass.right(), horizon - 5}}));
    const QPointF cloud(glass.left() + glass.width() * 0.25, glass.top() + glass.height() * 0.25);
    pen.stroke(
        smoothCurve({cloud, cloud + QPointF(8, -6), cloud + QPointF(18, -5),
                     cloud + QPointF(24, -9), cloud + QPointF(34, -2), cloud + QPointF(40, 0)}));
    QPainterPath ground;
    ground.addRect(QRectF(glass.left(), horizon, glass.width(), glass.bottom() - horizon));
    pen.hatch(ground.subtracted(ellipsePath(sun, radius, radius)), 30.0, 5.0);
}

} // namespace

void drawFloorLine(SketchPen& pen, double y) {
    pen.line({-4.0, y}, {304.0, y});
    PenStyle light(pen, 0.4, 0.9);
    pen.line({-4.0, y - 7.0}, {304.0, y - 7.0});
}

void drawWindow(SketchPen& pen, const QRectF& frame, Sky sky) {
    const QRectF glass = frame.adjusted(7, 7, -7, -7);
    const double midX = glass.center().x();
    const double barY = glass.top() + glass.height() * 0.42;
    const QRectF upperLeft(glass.left(), glass.top(), midX - 2 - glass.left(),
                           barY - 2 - glass.top());
    const QRectF upperRight(midX + 2, glass.top(), glass.right() - midX - 2,
                            barY - 2 - glass.top());
    const QRectF lowerLeft(glass.left(), barY + 2, upperLeft.width(), glass.bottom() - barY - 2);
    const QRectF lowerRight(midX + 2, barY + 2, upperRight.width(), lowerLeft.height());

    if (sky == Sky::Night) {
        QPainterPath unlit;
        for (const QRectF& pane : {upperLeft, upperRight, lowerLeft, lowerRight}) {
            unlit.addRect(pane);
        }
        drawMoonAndStars(pen, upperRight, upperLeft, unlit);
    } else {
        drawDawn(pen, glass);
        pen.erase(roundedRectPath(QRectF(midX - 2, glass.top(), 4, glass.height()), 0));
        pen.erase(roundedRectPath(QRectF(glass.left(), barY - 2, glass.width(), 4), 0));
    }
    pen.stroke(roundedRectPath(frame, 2));
    for (const QRectF& pane : {upperLeft, upperRight, lowerLeft, lowerRight}) {
        pen.stroke(roundedRectPath(pane, 1));
    }
    pen.stroke(roundedRectPath(QRectF(frame.left() - 8, frame.bottom(), frame.width() + 16, 6), 1));
}

void drawCurtains(SketchPen& pen, const QRectF& window) {
    const double rodY = window.top() - 10;
    pen.line({window.left() - 26, rodY}, {window.right() + 26, rodY});
    pen.dot({window.left() - 28, rodY}, 2.2);
    pen.dot({window.right() + 28, rodY}, 2.2);
    const double tieY = window.top() + window.height() * 0.62;
    const double hemY = window.bottom() + 22;
    for (bool right : {false, true}) {
        const double side = right ? -1.0 : 1.0;
        const double edge = right ? window.right() + 22 : window.left() - 22;
        auto at = [&](double dx, double y) { return QPointF(edge + side * dx, y); };
        const QPainterPath outline = smoothCurve(
            {at(0, rodY + 2), at(2, tieY - 30), at(4, tieY), at(-2, tieY + 30), at(-4, hemY)});
        const QPainterPath inner = smoothCurve(
            {at(40, rodY + 2), at(26, tieY - 25), at(12, tieY), at(24, tieY + 25), at(34, hemY)});
        const QPainterPath hem = smoothCurve(
            {at(-4, hemY), at(6, hemY + 3), at(14, hemY - 1), at(24, hemY + 3), at(34, hemY)});
        QPainterPath cloth = outline;
        cloth.connectPath(hem);
        cloth.connectPath(inner.toReversed());
        cloth.closeSubpath();
        pen.erase(cloth);
        pen.stroke(outline);
        pen.stroke(inner);
        pen.stroke(hem);
        PenStyle light(pen, 0.35, 0.9);
        pen.stroke(smoothCurve({at(14, rodY + 3), at(10, tieY - 20), at(7, tieY)}));
        pen.stroke(smoothCurve({at(26, rodY + 3), at(18, tieY - 20), at(9, tieY)}));
        pen.stroke(smoothCurve({at(7, tieY + 4), at(10, tieY + 30), at(12, hemY)}));
        pen.stroke(smoothCurve({at(10, tieY + 4), at(18, tieY + 30), at(23, hemY)}));
        pen.stroke(smoothCurve({at(-1, tieY - 3), at(8, tieY + 2), at(14, tieY - 3)}));
    }
}

void drawSofa(SketchPen& pen, const QRectF& box) {
    const double x0 = box.left();
    const double x1 = box.right();
    const double y0 = box.top();
    const double h = box.height();
    const double arm = box.width() * 0.11;
    const double seatTop = y0 + h * 0.45;
    const double seatFront = y0 + h * 0.64;
    const double baseBottom = y0 + h * 0.86;

    const QRectF back(x0 + arm * 0.5, y0, box.width() - arm, h * 0.5);
    pen.erase(roundedRectPath(back, 12));
    pen.stroke(roundedRectPath(back, 12));
    const double middle = box.center().x();
    {
        PenStyle light(pen, 0.35, 1.0);
        pen.stroke(
            smoothCurve({{middle, y0 + 10}, {middle + 1, y0 + h * 0.25}, {middle, seatTop}}));
    }
    for (bool right : {false, true}) {
        const QRectF armRect(right ? x1 - arm : x0, y0 + h * 0.26, arm, baseBottom - y0 - h * 0.26);
        pen.erase(roundedRectPath(armRect, arm * 0.45));
        pen.stroke(roundedRectPath(armRect, arm * 0.45));
        const double legX = right ? x1 - arm * 0.5 : x0 + arm * 0.5;
        pen.line({legX - 3, baseBottom}, {legX - 2, y0 + h});
        pen.line({legX + 3, baseBottom}, {legX + 2, y0 + h});
    }
    const double inner0 = x0 + arm;
    const double inner1 = x1 - arm;
    const QRectF leftCushion(inner0, seatTop, middle - inner0, seatFront - seatTop);
    const QRectF rightCushion(middle, seatTop, inner1 - middle, seatFront - seatTop);
    for (const QRectF& cushion : {leftCushion, rightCushion}) {
        pen.erase(roundedRectPath(cushion, 6));
        pen.stroke(roundedRectPath(cushion, 6));
    }
    pen.stroke(polyline(
        {{inner0, seatFront}, {inner0, baseBottom}, {inner1, baseBottom}, {inner1, seatFront}}));
}

void drawSideTable(SketchPen& pen, QPointF topCentre, double width, double floorY) {
    const double rx = width / 2.0;
    const double ry = width * 0.14;
    pen.stroke(ellipsePath(topCentre, rx, ry));
    pen.stroke(arcPath(topCentre + QPointF(0, 4), rx, ry, 0.0, 180.0));
    pen.line(topCentre + QPointF(-rx, 0), topCentre + QPointF(-rx, 4));
    pen.line(topCentre + QPointF(rx, 0), topCentre + QPointF(rx, 4));
    const double stemTop = topCentre.y() + ry + 4;
    pen.line({topCentre.x() - 3, stemTop}, {topCentre.x() - 3, floorY - 4});
    pen.line({topCentre.x() + 3, stemTop}, {topCentre.x() + 3, floorY - 4});
    pen.stroke(ellipsePath({topCentre.x(), floorY - 2}, rx * 0.55, ry * 0.45));
}

void drawTableTop(SketchPen& pen, double backY, double frontY) {
    pen.stroke(polyline({{-4, frontY}, {40, backY}, {260, backY}, {304, frontY}}));
    pen.line({-4, frontY}, {304, frontY});
    pen.line({-4, frontY + 9}, {304, frontY + 9});
    PenStyle light(pen, 0.5, 0.8);
    const double depth = frontY - backY;
    for (double f : {0.3, 0.55, 0.8}) {
        const double y = backY + depth * f;
        pen.stroke(smoothCurve({{60 - 50 * f, y}, {140, y + 2}, {250 + 40 * f, y - 1}}));
    }
}

void drawCup(SketchPen& pen, QPointF base, double width, bool steaming) {
    const double half = width / 2.0;
    const double height = width * 0.8;
    const double rimY = base.y() - height;
    const double rimRy = width * 0.14;
    const double x = base.x();

    pen.stroke(ellipsePath(base + QPointF(0, -2), width * 0.85, width * 0.2));
    pen.stroke(ellipsePath(base + QPointF(0, -2), width * 0.45, width * 0.1));

    const QPainterPath side = smoothCurve({{x - half, rimY},
                                           {x - half * 0.92, rimY + height * 0.55},
                                           {x - half * 0.7, base.y() - 4},
                                           {x, base.y() - 1},
                                           {x + half * 0.7, base.y() - 4},
                                           {x + half * 0.92, rimY + height * 0.55},
                                           {x + half, rimY}});
    QPainterPath body = side;
    body.connectPath(arcPath({x, rimY}, half, rimRy, 0.0, -180.0));
    body.closeSubpath();
    const QPainterPath handle = smoothCurve({{x + half * 0.96, rimY + height * 0.18},
                                             {x + half * 1.5, rimY + height * 0.22},
                                             {x + half * 1.45, rimY + height * 0.55},
                                             {x + half * 0.85, rimY + height * 0.68}});
    pen.erase(body);
    pen.stroke(side);
    pen.stroke(handle);
    pen.stroke(smoothCurve({{x + half * 0.95, rimY + height * 0.3},
                            {x + half * 1.25, rimY + height * 0.33},
                            {x + half * 0.9, rimY + height * 0.55}}));
    pen.stroke(ellipsePath({x, rimY}, half, rimRy));
    {
        PenStyle light(pen, 0.3, 0.9);
        const QPainterPath tea = ellipsePath({x, rimY + 3}, half * 0.85, rimRy * 0.7);
        pen.hatch(tea, 20.0, 2.6);
    }
    if (steaming) {
        PenStyle light(pen, 0.45, 0.9);
        for (double dx : {-half * 0.3, half * 0.25}) {
            const double top = rimY - width * 0.9;
            pen.stroke(smoothCurve({{x + dx, rimY - 6},
                                    {x + dx + 5, rimY - width * 0.3},
                                    {x + dx - 4, rimY - width * 0.6},
                                    {x + dx + 2, top}}));
        }
    }
}

void drawPhone(SketchPen& pen, QPointF centre, double width, double angleDegrees, bool lit) {
    QTransform lying;
    lying.translate(centre.x(), centre.y());
    lying.scale(1.0, 0.55);
    lying.rotate(angleDegrees);
    const double height = width * 1.9;
    const QRectF body(-width / 2, -height / 2, width, height);
    const QPainterPath top = lying.map(roundedRectPath(body, width * 0.16));
    const QPainterPath edge = top.translated(0, 3);
    pen.erase(edge);
    pen.stroke(edge);
    pen.erase(top);
    pen.stroke(top);
    const QPainterPath screen =
        lying.map(roundedRectPath(body.adjusted(3, 7, -3, -7), width * 0.08));
    if (lit) {
        pen.stroke(screen);
        PenStyle light(pen, 0.35, 0.9);
        const QPainterPath bubble = lying.map(
            roundedRectPath(QRectF(-width * 0.3, -height * 0.25, width * 0.55, height * 0.16), 3));
        pen.stroke(bubble);
        for (int ray = 0; ray < 10; ++ray) {
            const double a = ray * 36.0 * kDegree;
            const QPointF direction(std::cos(a) * width * 1.15, std::sin(a) * width * 0.75);
            pen.line(centre + direction * 1.0, centre + direction * 1.25);
        }
    } else {
        PenStyle dark(pen, 0.0, 1.2);
        pen.hatch(screen, 50.0, 2.2);
        pen.hatch(screen, -30.0, 3.2);
        pen.stroke(screen);
    }
}

void drawAlarmClock(SketchPen& pen, QPointF centre, double radius) {
    for (double side : {-1.0, 1.0}) {
        const QPointF bell = onCircle(centre, radius * 1.02, side * 38.0);
        pen.stroke(
            arcPath(bell, radius * 0.38, radius * 0.3, 180.0 + side * 20.0, 360.0 + side * 20.0));
        const QPointF foot = onCircle(centre, radius, 180.0 - side * 40.0);
        pen.line(foot, foot + QPointF(side * radius * 0.25, radius * 0.35));
    }
    pen.erase(ellipsePath(centre, radius, radius));
    pen.stroke(ellipsePath(centre, radius, radius));
    pen.stroke(ellipsePath(centre, radius * 0.82, radius * 0.82));
    for (int hour = 0; hour < 12; ++hour) {
        pen.dot(onCircle(centre, radius * 0.68, hour * 30.0), hour % 3 == 0 ? 1.2 : 0.7);
    }
    // Half past two: the hour hand between two and three, the minute hand down.
    pen.line(centre, onCircle(centre, radius * 0.42, 75.0));
    pen.line(centre, onCircle(centre, radius * 0.6, 180.0));
    pen.dot(centre, 1.4);
}

namespace {

QPainterPath mappedCurve(const QTransform& at, std::initializer_list<QPointF> points,
                         bool closed = false) {
    return at.map(smoothCurve(points, closed));
}

// Knees together, shins down to the floor, feet side by side.
void drawSeatedLegs(SketchPen& pen, const QTransform& at) {
    pen.stroke(mappedCurve(at, {{-24, 1}, {-25, 8}, {-22, 14}, {-20, 50}}));
    pen.stroke(mappedCurve(at, {{24, 1}, {25, 8}, {22, 14}, {20, 50}}));
    pen.stroke(mappedCurve(at, {{-24, 8}, {-13, 2}, {-1, 8}}));
    pen.stroke(mappedCurve(at, {{1, 8}, {13, 2}, {24, 8}}));
    pen.stroke(mappedCurve(at, {{-2, 10}, {-3, 30}, {-4, 50}}));
    pen.stroke(mappedCurve(at, {{2, 10}, {3, 30}, {4, 50}}));
    pen.stroke(at.map(arcPath({-12, 54}, 10, 4.5, 160, 380)));
    pen.stroke(at.map(arcPath({12, 54}, 10, 4.5, 160, 380)));
}

// A loose sweater, the arms folded down to the hands in the lap.
void drawSweater(SketchPen& pen, const QTransform& at) {
    pen.stroke(
        mappedCurve(at, {{-4, -60}, {-17, -56}, {-25, -47}, {-30, -27}, {-28, -12}, {-12, -4}}));
    pen.stroke(mappedCurve(at, {{4, -60}, {17, -56}, {25, -47}, {30, -27}, {28, -12}, {12, -4}}));
    pen.stroke(mappedCurve(at, {{-19, -40}, {-20, -22}, {-9, -12}}));
    pen.stroke(mappedCurve(at, {{19, -40}, {20, -22}, {9, -12}}));
    pen.stroke(mappedCurve(at, {{-22, -20}, {-24, -6}, {-24, 2}}));
    pen.stroke(mappedCurve(at, {{22, -20}, {24, -6}, {24, 2}}));
    pen.stroke(
        mappedCurve(at, {{-11, -9}, {-4, -13}, {4, -12}, {10, -8}, {4, -3}, {-5, -3}}, true));
    pen.stroke(mappedCurve(at, {{-4, -60}, {0, -57}, {4, -60}}));
    pen.line(at.map(QPointF(-3.5, -62)), at.map(QPointF(-3.5, -59)));
    pen.line(at.map(QPointF(3.5, -62)), at.map(QPointF(3.5, -59)));
}

// The head bowed a little: closed, downcast eyes under the fringe.
void drawBowedHead(SketchPen& pen, const QTransform& at, const QPainterPath& hair) {
    pen.stroke(at.map(arcPath({0, -72}, 9.5, 11.5, 10, 170)));
    {
        PenStyle hairShade(pen, 0.1, 1.0);
        pen.hatch(hair, 70.0, 2.4);
        pen.stroke(hair);
    }
    PenStyle fine(pen, 0.2, 0.8);
    pen.stroke(at.map(arcPath({-4, -71}, 2.2, 1.2, 20, 160)));
    pen.stroke(at.map(arcPath({4, -71}, 2.2, 1.2, 20, 160)));
    pen.stroke(mappedCurve(at, {{-1.5, -65}, {0, -64.5}, {1.5, -65}}));
}

} // namespace

void drawSeatedPerson(SketchPen& pen, QPointF hip, double scale) {
    const QTransform at = placement(hip, scale);
    const QPainterPath hair = mappedCurve(at,
                                          {{-15, -62},
                                           {-16, -80},
                                           {-9, -94},
                                           {3, -96},
                                           {13, -89},
                                           {16, -76},
                                           {15, -62},
                                           {9, -64},
                                           {8, -80},
                                           {-2, -83},
                                           {-9, -78},
                                           {-9, -64}},
                                          true);
    const QPainterPath face = at.map(ellipsePath({0, -72}, 9.5, 11.5));
    const QPainterPath torso = mappedCurve(at,
                                           {{-4, -60},
                                            {-17, -56},
                                            {-25, -47},
                                            {-30, -27},
                                            {-28, -12},
                                            {-25, 2},
                                            {25, 2},
                                            {28, -12},
                                            {30, -27},
                                            {25, -47},
                                            {17, -56},
                                            {4, -60}},
                                           true);
    const QPainterPath legs = mappedCurve(
        at, {{-24, 0}, {-24, 10}, {-20, 50}, {-22, 58}, {22, 58}, {20, 50}, {24, 10}, {24, 0}},
        true);
    for (const QPainterPath& part : {legs, torso, face, hair}) {
        pen.erase(part);
    }
    drawSeatedLegs(pen, at);
    drawSweater(pen, at);
    drawBowedHead(pen, at, hair);
}

void drawStandingFigure(SketchPen& pen, QPointF feet, double height, Hair hair) {
    const QTransform at = placement(feet, height / 100.0);
    auto shape = [&](std::initializer_list<QPointF> points) {
        return at.map(smoothCurve(points, true));
    };
    const QPainterPath head = hair == Hair::Bob ? shape({{-8, -84},
                                                         {-8.5, -92},
                                                         {-4, -98},
                                                         {3, -98.5},
                                                         {8, -94},
                                                         {9, -86},
                                                         {8, -81},
                                                         {3, -82},
                                                         {-3, -82}})
                                                : at.map(ellipsePath({1, -90}, 6.5, 7.5));
    const QPainterPath body = shape(
        {{-2.5, -82}, {-10, -78}, {-11, -70},  {-10, -55}, {-10, -45}, {-9, -25}, {-8.5, -4},
         {-10.5, 0},  {-2.5, 0},  {-1.5, -25}, {0, -41},   {1.5, -25}, {2.5, 0},  {10.5, 0},
         {8.5, -4},   {9, -25},   {10, -45},   {10, -55},  {11, -70},  {10, -78}, {2.5, -82}});
    QPainterPath figure = body.united(head);
    for (double side : {-1.0, 1.0}) {
        const QPainterPath arm = shape({{side * 10, -78},
                                        {side * 13.5, -73},
                                        {side * 15, -58},
                                        {side * 14.5, -45},
                                        {side * 12.8, -41.5},
                                        {side * 11.5, -45},
                                        {side * 11.8, -58},
                                        {side * 10.5, -70}});
        figure = figure.united(arm);
    }
    pen.erase(figure);
    pen.hatch(figure, 45.0, 2.0);
    pen.hatch(figure, -45.0, 2.6);
    pen.stroke(figure);
}

void drawReachingHand(SketchPen& pen, QPointF fingertip, double scale) {
    const QTransform at = placement(fingertip, scale);
    auto curve = [&](std::initializer_list<QPointF> points, bool closed = false) {
        return at.map(smoothCurve(points, closed));
    };
    const QPainterPath outline =
        curve({{-190, 70}, {-120, 34}, {-72, 12}, {-44, 0},  {-22, -4}, {-4, -3},  {0, 1},
               {-4, 5},    {-20, 7},   {-10, 11}, {-8, 15},  {-22, 16}, {-14, 20}, {-16, 24},
               {-30, 22},  {-24, 27},  {-28, 30}, {-42, 28}, {-56, 36}, {-84, 44}, {-150, 120}},
              true);
    pen.erase(outline);
    pen.stroke(curve({{-190, 70},
                      {-120, 34},
                      {-72, 12},
                      {-44, 0},
                      {-22, -4},
                      {-4, -3},
                      {0, 1},
                      {-4, 5},
                      {-20, 7}}));
    pen.stroke(curve({{-21, 7}, {-10, 11}, {-8, 15}, {-22, 16}}));
    pen.stroke(curve({{-23, 16}, {-14, 20}, {-16, 24}, {-30, 22}}));
    pen.stroke(
        curve({{-31, 22}, {-24, 27}, {-28, 30}, {-42, 28}, {-56, 36}, {-84, 44}, {-150, 120}}));
    {
        PenStyle light(pen, 0.35, 0.9);
        pen.stroke(curve({{-38, 4}, {-30, 8}, {-24, 8}}));
        pen.stroke(curve({{-46, 14}, {-36, 16}, {-26, 16}}));
    }
    // The sweater's cuff over the wrist.
    pen.stroke(curve({{-82, 8}, {-78, 26}, {-70, 46}}));
    pen.stroke(curve({{-92, 13}, {-88, 31}, {-81, 51}}));
    PenStyle light(pen, 0.35, 0.8);
    for (double t = 0.15; t < 1.0; t += 0.2) {
        const QPointF from = at.map(QPointF(-82 + 4 * t, 8 + 38 * t));
        const QPointF to = at.map(QPointF(-92 + 3 * t, 13 + 38 * t));
        pen.line(from, to);
    }
}

void drawDoor(SketchPen& pen, const QRectF& frame, double openFraction) {
    const QRectF opening = frame.adjusted(7, 7, -7, 0);
    pen.stroke(
        polyline({frame.bottomLeft(), frame.topLeft(), frame.topRight(), frame.bottomRight()}));
    pen.stroke(polyline(
        {opening.bottomLeft(), opening.topLeft(), opening.topRight(), opening.bottomRight()}));

    const double swing = opening.width() * (1.0 - openFraction * 0.75);
    const double lift = opening.height() * 0.04 * openFraction;
    const QPolygonF leaf({opening.topLeft(), opening.topLeft() + QPointF(swing, lift),
                          opening.bottomLeft() + QPointF(swing, -lift * 0.6),
                          opening.bottomLeft()});
    QPainterPath leafPath;
    leafPath.addPolygon(leaf);
    leafPath.closeSubpath();
    pen.stroke(leafPath);

    // The leaf's panels and knob follow its swing.
    auto leafPoint = [&](double u, double v) {
        const QPointF top = leaf[0] + (leaf[1] - leaf[0]) * u;
        const QPointF bottom = leaf[3] + (leaf[2] - leaf[3]) * u;
        return top + (bottom - top) * v;
    };
    PenStyle panels(pen, 0.15, 1.0);
    for (const auto& [u0, u1] : {std::pair{0.14, 0.46}, std::pair{0.54, 0.86}}) {
        for (const auto& [v0, v1] : {std::pair{0.07, 0.5}, std::pair{0.57, 0.92}}) {
            pen.stroke(polyline({leafPoint(u0, v0), leafPoint(u1, v0), leafPoint(u1, v1),
                                 leafPoint(u0, v1), leafPoint(u0, v0)}));
        }
    }
    const QPointF knob = leafPoint(0.9, 0.52);
    pen.stroke(ellipsePath(knob, 3.2 * (1.0 - openFraction * 0.5), 3.2));
}

void drawBlanket(SketchPen& pen, const QRectF& drape) {
    const double x0 = drape.left();
    const double x1 = drape.right();
    const double w = drape.width();
    const double top = drape.top();
    const double bottom = drape.bottom();
    // Where the blanket bends over the front of the seat.
    const double bend = top + drape.height() * 0.42;
    const QPainterPath cloth = smoothCurve({{x0 + 4, top + 4},
                                            {x0 + w * 0.35, top - 3},
                                            {x0 + w * 0.7, top + 3},
                                            {x1 - 2, top - 1},
                                            {x1 + 4, bend - 3},
                                            {x1 + 2, bottom - 6},
                                            {x1 - w * 0.1, bottom},
                                            {x0 + w * 0.75, bottom - 6},
                                            {x0 + w * 0.6, bottom + 3},
                                            {x0 + w * 0.45, bottom - 5},
                                            {x0 + w * 0.3, bottom + 2},
                                            {x0 + w * 0.15, bottom - 4},
                                            {x0 + 2, bottom - 9},
                                            {x0 - 3, bend},
                                            {x0 - 1, top + 14}},
                                           true);
    const QPainterPath crease = smoothCurve(
        {{x0 - 3, bend}, {x0 + w * 0.3, bend + 3}, {x0 + w * 0.65, bend - 1}, {x1 + 4, bend - 3}});
    QPainterPath upper;
    upper.addRect(QRectF(x0 - 10, top - 10, w + 20, bend - top + 10));
    pen.erase(cloth);
    {
        PenStyle plaid(pen, 0.45, 0.9);
        const QPainterPath seatPart = cloth.intersected(upper);
        const QPainterPath hangingPart = cloth.subtracted(upper);
        pen.hatch(seatPart, 88.0, 9.0);
        pen.hatch(seatPart, -3.0, 5.0);
        pen.hatch(hangingPart, 92.0, 9.0);
        pen.hatch(hangingPart, 2.0, 9.0);
    }
    pen.stroke(cloth);
    pen.stroke(crease);
    PenStyle fold(pen, 0.2, 1.0);
    for (double f : {0.3, 0.6}) {
        pen.stroke(smoothCurve({{x0 + w * f - 4, bend + 4},
                                {x0 + w * f + 1, (bend + bottom) / 2},
                                {x0 + w * f, bottom - 3}}));
    }
    pen.stroke(
        smoothCurve({{x0 + w * 0.45, top + 3}, {x0 + w * 0.5, bend - 8}, {x0 + w * 0.58, bend}}));
}

void drawSlippers(SketchPen& pen, QPointF centre, double width) {
    const double length = width * 0.34;
    const double breadth = width * 0.2;
    for (double side : {-1.0, 1.0}) {
        QTransform place;
        place.translate(centre.x() + side * width * 0.16, centre.y());
        place.rotate(side * 8.0);
        const QPainterPath sole = place.map(smoothCurve({{0, length * 0.5},
                                                         {breadth * 0.4, length * 0.32},
                                                         {breadth * 0.5, -length * 0.15},
                                                         {breadth * 0.32, -length * 0.44},
                                                         {0, -length * 0.5},
                                                         {-breadth * 0.32, -length * 0.44},
                                                         {-breadth * 0.5, -length * 0.15},
                                                         {-breadth * 0.4, length * 0.32}},
                                                        true));
        QPainterPath toe = smoothCurve({{-breadth * 0.49, -length * 0.04},
                                        {0, length * 0.1},
                                        {breadth * 0.49, -length * 0.04}});
        const QPainterPath vampEdge = place.map(toe);
        toe.lineTo(breadth, -length);
        toe.lineTo(-breadth, -length);
        toe.closeSubpath();
        pen.erase(sole);
        {
            PenStyle fabric(pen, 0.3, 0.9);
            pen.hatch(sole.intersected(place.map(toe)), 75.0, 3.0);
        }
        pen.stroke(sole);
        pen.stroke(vampEdge);
    }
}

void drawPhotoFrame(SketchPen& pen, const QRectF& frame) {
    pen.stroke(roundedRectPath(frame, 1));
    const QRectF photo = frame.adjusted(6, 6, -6, -6);
    pen.stroke(roundedRectPath(photo, 1));
    // The two of them, leaning together, on a better day.
    const double unit = photo.height() / 10.0;
    for (double side : {-1.0, 1.0}) {
        const QPointF neck(photo.center().x() + side * unit * 2.2, photo.top() + unit * 6.2);
        const QPointF headCentre = neck + QPointF(-side * unit * 0.4, -unit * 2.0);
        pen.stroke(ellipsePath(headCentre, unit * 1.4, unit * 1.6));
        pen.stroke(smoothCurve(
            {neck + QPointF(-unit * 3.2, unit * 3.8), neck + QPointF(-unit * 2.4, unit * 0.8),
             neck + QPointF(0, unit * 0.2), neck + QPointF(unit * 2.4, unit * 0.8),
             neck + QPointF(unit * 3.2, unit * 3.8)}));
        PenStyle fine(pen, 0.3, 0.8);
        pen.stroke(arcPath(headCentre + QPointF(0, unit * 0.4), unit * 0.6, unit * 0.35, 20, 160));
    }
}

void drawPillow(SketchPen& pen, QPointF centre, double size, double tiltDegrees) {
    QTransform turn;
    turn.translate(centre.x(), centre.y());
    turn.rotate(tiltDegrees);
    const double h = size / 2.0;
    const QPainterPath pillow = turn.map(smoothCurve({{-h, -h},
                                                      {0, -h * 0.82},
                                                      {h, -h},
                                                      {h * 0.84, 0},
                                                      {h, h},
                                                      {0, h * 0.84},
                                                      {-h, h},
                                                      {-h * 0.84, 0}},
                                                     true));
    pen.erase(pillow);
    pen.stroke(pillow);
    PenStyle fold(pen, 0.35, 0.9);
    pen.stroke(turn.map(
        smoothCurve({{-h * 0.8, -h * 0.75}, {-h * 0.45, -h * 0.4}, {-h * 0.3, -h * 0.1}})));
    pen.stroke(
        turn.map(smoothCurve({{h * 0.8, h * 0.75}, {h * 0.45, h * 0.4}, {h * 0.3, h * 0.15}})));
}

void drawVaseWithFlower(SketchPen& pen, QPointF base, double height) {
    const double w = height * 0.32;
    const QPointF neck = base - QPointF(0, height * 0.55);
    const QPainterPath vase =
        smoothCurve({neck + QPointF(-w * 0.22, 0), neck + QPointF(-w * 0.2, height * 0.12),
                     base + QPointF(-w * 0.5, -height * 0.18), base + QPointF(-w * 0.3, 0),
                     base + QPointF(w * 0.3, 0), base + QPointF(w * 0.5, -height * 0.18),
                     neck + QPointF(w * 0.2, height * 0.12), neck + QPointF(w * 0.22, 0)});
    pen.stroke(vase);
    pen.stroke(ellipsePath(neck, w * 0.22, w * 0.07));
    const QPointF bloom = neck + QPointF(height * 0.12, -height * 0.4);
    pen.stroke(smoothCurve({neck, neck + QPointF(height * 0.02, -height * 0.2), bloom}));
    pen.stroke(smoothCurve(
        {neck + QPointF(0, -height * 0.12), neck + QPointF(-height * 0.12, -height * 0.2),
         neck + QPointF(-height * 0.16, -height * 0.16), neck + QPointF(0, -height * 0.12)}));
    const double petal = height * 0.07;
    for (int i = 0; i < 5; ++i) {
        const QPointF at = onCircle(bloom, petal * 1.1, i * 72.0);
        pen.stroke(ellipsePath(at, petal, petal * 0.85));
    }
    pen.erase(ellipsePath(bloom, petal * 0.6, petal * 0.6));
    pen.stroke(ellipsePath(bloom, petal * 0.5, petal * 0.5));
}
