// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "os/x11.h"

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <thread>
#include <vector>
#include <xcb/xcb.h>

namespace os {

namespace {

// The X server's connection when the windows are X11 windows; null on any other platform.
xcb_connection_t* x11Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The atoms the game uses, asked for together in one round trip, once per connection.
struct Atoms {
    xcb_atom_t netWmState;
    xcb_atom_t skipTaskbar;
    xcb_atom_t supported;
    xcb_atom_t requestFrameExtents;
    xcb_atom_t frameExtents;
};

Atoms internAtoms(xcb_connection_t* connection) {
    const char* const names[] = {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_SUPPORTED",
                                 "_NET_REQUEST_FRAME_EXTENTS", "_NET_FRAME_EXTENTS"};
    xcb_intern_atom_cookie_t cookies[std::size(names)];
    for (std::size_t i = 0; i < std::size(names); ++i)
        cookies[i] =
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(names[i])), names[i]);
    xcb_atom_t values[std::size(names)];
    for (std::size_t i = 0; i < std::size(names); ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
        values[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
    }
    return {values[0], values[1], values[2], values[3], values[4]};
}

const Atoms& atoms(xcb_connection_t* connection) {
    static xcb_connection_t* askedOf = nullptr;
    static Atoms known{};
    if (askedOf != connection) {
        known = internAtoms(connection);
        askedOf = connection;
    }
    return known;
}

xcb_window_t rootOf(xcb_connection_t* connection) {
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

// A property of 32-bit values; empty when the window has none of that type.
std::vector<uint32_t> property32(xcb_connection_t* connection, xcb_window_t window,
                                 xcb_atom_t property, xcb_atom_t type) {
    const auto cookie = xcb_get_property(connection, 0, window, property, type, 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    std::vector<uint32_t> values;
    if (reply && reply->format == 32) {
        const auto* first = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        values.assign(first, first + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

// A request about `window` to the window manager, which watches the root window.
void sendToWindowManager(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t type,
                         const std::vector<uint32_t>& data) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(connection, 0, rootOf(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

} // namespace

void markSkipTaskbar(QWidget& window) {
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t netWmState = atoms(connection).netWmState;
    const xcb_atom_t skipTaskbar = atoms(connection).skipTaskbar;
    // Without a window manager the property is what counts.
    std::vector<uint32_t> state = property32(connection, id, netWmState, XCB_ATOM_ATOM);
    if (std::ranges::count(state, skipTaskbar) == 0) {
        state.push_back(skipTaskbar);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, netWmState, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(state.size()), state.data());
    }
    // A window manager owns the state of a mapped window and takes requests:
    // _NET_WM_STATE_ADD, from a normal application.
    if (window.isVisible())
        sendToWindowManager(connection, id, netWmState, {1, skipTaskbar, 0, 1});
    xcb_flush(connection);
}

QMargins frameBeforeFirstMap(QWidget& window) {
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return {};
    const xcb_atom_t request = atoms(connection).requestFrameExtents;
    const xcb_atom_t supported = atoms(connection).supported;
    if (std::ranges::count(property32(connection, rootOf(connection), supported, XCB_ATOM_ATOM),
                           request) == 0)
        return {}; // no window manager, or one that does not take the request
    const auto id = static_cast<xcb_window_t>(window.winId());
    sendToWindowManager(connection, id, request, {});
    xcb_flush(connection);
    // The answer: left, right, top and bottom in device pixels, once the window manager sets it.
    const xcb_atom_t frameExtents = atoms(connection).frameExtents;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    do {
        const std::vector<uint32_t> extents =
            property32(connection, id, frameExtents, XCB_ATOM_CARDINAL);
        if (extents.size() == 4) // rounded to logical pixels
            return QMargins(int(extents[0]), int(extents[2]), int(extents[1]), int(extents[3])) /
                   window.devicePixelRatioF();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (std::chrono::steady_clock::now() < deadline);
    return {};
}

} // namespace os
