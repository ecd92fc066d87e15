// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/frm_definition.h"

namespace app {

using platform::BorderStyle;
using platform::ControlDefinition;
using platform::ControlKind;
using platform::FillStyle;
using platform::RGB;
using platform::SystemColour;
using platform::TextAlignment;

namespace {

ControlDefinition define(const char* name, ControlKind kind) {
    ControlDefinition control;
    control.name = name;
    control.kind = kind;
    return control;
}

ControlDefinition optionDefinition() {
    ControlDefinition opt = define("Opt", ControlKind::OptionButton);
    opt.rect = {4920, 360, 2535, 495};
    opt.text = "Option1";
    opt.selected = true;
    opt.tabIndex = 2;
    return opt;
}

// Holds each loaded picture at its own size; never shown.
ControlDefinition hiddenPictureDefinition() {
    ControlDefinition e = define("E", ControlKind::PictureBox);
    e.rect = {240, 240, 615, 615};
    e.visible = false;
    e.autoSize = true;
    e.tabIndex = 1;
    return e;
}

ControlDefinition scenePictureDefinition() {
    ControlDefinition pic = define("Pic", ControlKind::PictureBox);
    pic.rect = {120, 120, 4560, 4560};
    pic.picture = ":/opening.jpg";
    pic.pictureSize = {300, 300};
    pic.backColor = SystemColour::WindowBackground;
    pic.foreColor = SystemColour::WindowText;
    pic.tabIndex = 0;
    pic.accessibleName = "場面";
    return pic;
}

ControlDefinition murmurLabelDefinition() {
    ControlDefinition say = define("LblSay", ControlKind::Label);
    say.container = "Pic";
    say.rect = {0, 0, 495, 180};
    say.text = "Label1";
    say.autoSize = true;
    say.tabIndex = 4;
    return say;
}

ControlDefinition barLabelDefinition() {
    ControlDefinition label = define("LblStr", ControlKind::Label);
    label.rect = {1080, 4920, 495, 255};
    label.text = "Label1";
    label.alignment = TextAlignment::Centre;
    label.tabIndex = 3;
    return label;
}

ControlDefinition barFillDefinition() {
    ControlDefinition fill = define("ShpStr", ControlKind::Shape);
    fill.rect = {120, 5280, 7455, 255};
    fill.fillStyle = FillStyle::Solid;
    fill.fillColor = RGB(255, 128, 128);
    fill.borderStyle = BorderStyle::None;
    return fill;
}

ControlDefinition barFrameDefinition() {
    ControlDefinition frame = define("ShpBak", ControlKind::Shape);
    frame.rect = {120, 5280, 7455, 255};
    frame.fillStyle = FillStyle::Transparent;
    frame.borderStyle = BorderStyle::Solid;
    frame.borderColor = SystemColour::WindowText;
    return frame;
}

} // namespace

platform::FormDefinition frmDefinition() {
    platform::FormDefinition frm;
    frm.caption = "Sorawata";
    frm.icon = ":/icon.png";
    frm.drawingArea = {45, 330, 7815, 6900};
    frm.timers = {
        {.name = "BgmTim", .intervalMs = 1, .enabled = true},
        {.name = "timOpt", .intervalMs = 300, .enabled = false},
        {.name = "timLbl", .intervalMs = 1000, .enabled = false},
    };
    frm.controls = {
        optionDefinition(),      hiddenPictureDefinition(), scenePictureDefinition(),
        murmurLabelDefinition(), barLabelDefinition(),      barFillDefinition(),
        barFrameDefinition(),
    };
    return frm;
}

} // namespace app
