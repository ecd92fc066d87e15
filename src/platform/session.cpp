// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "platform/session.h"

#include <QByteArray>
#include <QString>
#include <cstdlib>
#include <xcb/xcb.h>

namespace platform {

namespace {

bool x11Reachable() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

} // namespace

std::optional<std::string> whyNoDisplay() {
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (!chosen.isEmpty() && !chosen.startsWith("xcb")) {
        return std::nullopt; // the user picked another platform; Qt checks it
    }
    if (chosen.isEmpty() && qEnvironmentVariableIsSet("WAYLAND_DISPLAY")) {
        return std::nullopt;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        return "no display: DISPLAY and WAYLAND_DISPLAY are not set";
    }
    if (!x11Reachable()) {
        return "cannot connect to the X display " + qEnvironmentVariable("DISPLAY").toStdString();
    }
    return std::nullopt;
}

} // namespace platform
