// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "sketch.h"

#include <QPointF>
#include <QRectF>

// The things of that room, each drawn with the sketch pen at a given place and
// size, so the scenes can arrange them.

enum class Sky { Night, Dawn };

void drawFloorLine(SketchPen& pen, double y);
void drawWindow(SketchPen& pen, const QRectF& frame, Sky sky);
void drawCurtains(SketchPen& pen, const QRectF& window);
void drawSofa(SketchPen& pen, const QRectF& box);
void drawSideTable(SketchPen& pen, QPointF topCentre, double width, double floorY);
// A table top seen from above at a slant, its front edge at the bottom.
void drawTableTop(SketchPen& pen, double backY, double frontY);
void drawCup(SketchPen& pen, QPointF base, double width, bool steaming);
void drawPhone(SketchPen& pen, QPointF centre, double width, double angleDegrees, bool lit);
void drawAlarmClock(SketchPen& pen, QPointF centre, double radius);
void drawSeatedPerson(SketchPen& pen, QPointF hip, double scale);
enum class Hair { Bob, Short };
// A dark figure against the light.
void drawStandingFigure(SketchPen& pen, QPointF feet, double height, Hair hair);
void drawReachingHand(SketchPen& pen, QPointF fingertip, double scale);
void drawDoor(SketchPen& pen, const QRectF& frame, double openFraction);
// The blanket lies over the seat and hangs down in front of it.
void drawBlanket(SketchPen& pen, const QRectF& drape);
void drawSlippers(SketchPen& pen, QPointF centre, double width);
void drawPhotoFrame(SketchPen& pen, const QRectF& frame);
void drawPillow(SketchPen& pen, QPointF centre, double size, double tiltDegrees);
void drawVaseWithFlower(SketchPen& pen, QPointF base, double height);
