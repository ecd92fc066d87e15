// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/colour.h"
#include "platform/container.h"
#include "platform/controls.h"

#include <QSize>
#include <string>
#include <vector>

namespace platform {

struct TimerDefinition {
    std::string name;
    int intervalMs = 0;
    bool enabled = false;
};

enum class ControlKind { OptionButton, PictureBox, Label, Shape };

// One control as the window definition gives it. Positions are in twips in
// the container's drawing area; every control of a kind has the same fields.
struct ControlDefinition {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string container; // empty: the window itself
    Rect rect;
    std::string text;
    bool visible = true;
    bool selected = false;
    int tabIndex = 0;
    bool autoSize = false;
    TextAlignment alignment = TextAlignment::Left;
    ColourSetting backColor = SystemColour::WindowBackground;
    ColourSetting foreColor = SystemColour::WindowText;
    ColourSetting fillColor = Colour{0};
    ColourSetting borderColor = SystemColour::WindowText;
    FillStyle fillStyle = FillStyle::Transparent;
    BorderStyle borderStyle = BorderStyle::Solid;
    std::string picture;        // a resource path, or empty
    QSize pictureSize;          // the picture's size in pixels (its file may hold more)
    std::string accessibleName; // what screen readers call a picture box
};

struct FormDefinition {
    std::string caption;
    std::string icon; // a resource path
    Rect drawingArea; // twips
    std::vector<TimerDefinition> timers;
    std::vector<ControlDefinition> controls; // in definition order
};

} // namespace platform
