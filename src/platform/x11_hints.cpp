#include "platform/x11_hints.h"

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

namespace platform {

namespace {

// The X server's connection when the windows are X11 windows; null on any other platform
// (Wayland, offscreen), also when that platform keeps an X connection of its own or has none.
xcb_connection_t* x11Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;
    }
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const auto cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

std::vector<xcb_atom_t> stateAtoms(xcb_connection_t* connection, xcb_window_t window,
                                   xcb_atom_t netWmState) {
    const auto cookie = xcb_get_property(connection, 0, window, netWmState, XCB_ATOM_ATOM, 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    std::vector<xcb_atom_t> atoms;
    if (reply && reply->format == 32) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        atoms.assign(values, values + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return atoms;
}

// Without a window manager the property is what counts.
void addToStateProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t netWmState,
                        xcb_atom_t skipTaskbar) {
    std::vector<xcb_atom_t> atoms = stateAtoms(connection, window, netWmState);
    if (std::find(atoms.begin(), atoms.end(), skipTaskbar) != atoms.end()) {
        return;
    }
    atoms.push_back(skipTaskbar);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, netWmState, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(atoms.size()), atoms.data());
}

// A window manager owns the state of a mapped window and takes requests.
void requestStateFromWindowManager(xcb_connection_t* connection, xcb_window_t window,
                                   xcb_atom_t netWmState, xcb_atom_t skipTaskbar) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = netWmState;
    message.data.data32[0] = 1; // _NET_WM_STATE_ADD
    message.data.data32[1] = skipTaskbar;
    message.data.data32[3] = 1; // from a normal application
    xcb_send_event(connection, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

} // namespace

void markSkipTaskbar(QWidget& window) {
    xcb_connection_t* connection = x11Connection();
    if (!connection) {
        return;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t netWmState = atom(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    addToStateProperty(connection, id, netWmState, skipTaskbar);
    if (window.isVisible()) {
        requestStateFromWindowManager(connection, id, netWmState, skipTaskbar);
    }
    xcb_flush(connection);
}

} // namespace platform
