// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "scenes.h"

#include "props.h"
#include "sketch.h"

#include <QPainter>

namespace {

// Each picture gets its own seed, so changing one scene leaves the others as
// they were.
template <typename Draw> QImage sketch(std::uint64_t seed, Draw draw) {
    QImage image = blankPaper();
    QPainter painter(&image);
    painter.scale(kPixelsPerUnit, kPixelsPerUnit);
    SketchPen pen(painter, seed);
    draw(pen);
    return image;
}

} // namespace

QImage drawOpening() {
    return sketch(1, [](SketchPen& pen) {
        drawPhotoFrame(pen, QRectF(46, 40, 58, 46));
        drawWindow(pen, QRectF(156, 30, 100, 100), Sky::Night);
        drawFloorLine(pen, 246);
        drawSofa(pen, QRectF(14, 118, 182, 134));
        drawSeatedPerson(pen, {78, 186}, 0.98);
        drawSideTable(pen, {238, 186}, 56, 252);
        drawCup(pen, {240, 184}, 20, true);
    });
}

QImage drawDarkWindow() {
    return sketch(10, [](SketchPen& pen) {
        const QRectF window(70, 50, 160, 170);
        drawWindow(pen, window, Sky::Night);
        drawCurtains(pen, window);
    });
}

QImage drawSilentPhone() {
    return sketch(11, [](SketchPen& pen) {
        drawWindow(pen, QRectF(162, 6, 112, 104), Sky::Night);
        drawTableTop(pen, 138, 262);
        drawAlarmClock(pen, {74, 126}, 28);
        drawCup(pen, {236, 186}, 38, false);
        drawPhone(pen, {148, 214}, 46, -70, false);
    });
}

QImage drawTwoCups() {
    return sketch(12, [](SketchPen& pen) {
        drawPhotoFrame(pen, QRectF(40, 26, 80, 64));
        drawTableTop(pen, 130, 262);
        drawVaseWithFlower(pen, {228, 152}, 80);
        drawCup(pen, {108, 226}, 60, false);
        drawCup(pen, {198, 194}, 50, false);
    });
}

QImage drawClosedDoor() {
    return sketch(13, [](SketchPen& pen) {
        const QRectF frame(92, 36, 116, 222);
        drawFloorLine(pen, 258);
        {
            PenStyle dim(pen, 0.35, 1.0);
            QPainterPath wall;
            wall.addRect(QRectF(0, 0, 300, 251));
            QPainterPath doorway;
            doorway.addRect(frame);
            pen.hatch(wall.subtracted(doorway), 60.0, 6.0);
            QPainterPath leaf;
            leaf.addRect(frame.adjusted(7, 7, -7, -4));
            pen.hatch(leaf, 60.0, 3.5);
        }
        drawDoor(pen, frame, 0.0);
        // The light from the next room shows only under the door.
        PenStyle light(pen, 0.45, 0.9);
        for (int ray = -4; ray <= 4; ++ray) {
            const double x = 150 + ray * 12;
            pen.line({x, 262}, {150 + ray * 18.0, 290});
        }
        drawSlippers(pen, {62, 270}, 96);
    });
}

QImage drawBlanketOnSofa() {
    return sketch(14, [](SketchPen& pen) {
        drawWindow(pen, QRectF(112, -30, 96, 96), Sky::Night);
        drawFloorLine(pen, 250);
        drawSofa(pen, QRectF(20, 90, 260, 170));
        drawPillow(pen, {76, 150}, 48, -14);
        drawBlanket(pen, QRectF(110, 160, 140, 66));
    });
}

QImage drawReachingForPhone() {
    return sketch(15, [](SketchPen& pen) {
        drawWindow(pen, QRectF(166, 16, 112, 96), Sky::Dawn);
        drawTableTop(pen, 150, 262);
        drawCup(pen, {84, 176}, 30, false);
        drawPhone(pen, {196, 200}, 42, -75, true);
        drawReachingHand(pen, {158, 200}, 0.95);
    });
}

QImage drawDoorOpening() {
    return sketch(16, [](SketchPen& pen) {
        const QRectF frame(150, 40, 110, 212);
        drawFloorLine(pen, 252);
        {
            PenStyle dim(pen, 0.35, 1.0);
            QPainterPath room;
            room.addRect(QRectF(0, 0, 300, 300));
            QPainterPath lit;
            lit.addPolygon(QPolygonF({frame.topLeft() + QPointF(7, 7),
                                      frame.topRight(),
                                      frame.bottomRight(),
                                      {300, 300},
                                      {120, 300},
                                      frame.bottomLeft() + QPointF(7, 0)}));
            lit.closeSubpath();
            pen.hatch(room.subtracted(lit), 60.0, 6.0);
        }
        drawDoor(pen, frame, 0.85);
        drawStandingFigure(pen, {224, 250}, 150, Hair::Short);
        drawStandingFigure(pen, {100, 272}, 160, Hair::Bob);
    });
}
