// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// Measures a program from the outside: the time from its start until its first
// top-level window shows painted content on screen, and its peak resident
// memory a little later. Used by startup.sh on a private X server with a black
// root and no window manager, where that window is the only one mapped.
//
// Usage: first_paint_watch SETTLE_MS COMMAND [ARGS...]
// Prints: first_paint_ms=<ms> peak_rss_kib=<KiB>
// A program that ends, or paints no window within FIRST_PAINT_GIVE_UP_S seconds (default 30; it
// is then killed), gives first_paint_ms=none with its peak memory, and exit status 3.
//
// "Painted" means the window's pixels are no longer all one value: an
// unpainted window shows either the black root behind it or one background
// colour, while any drawn text or picture brings a second one.
//
// The watcher sleeps until the X server has something to say: the map, then
// each drawing into the window (the DAMAGE extension), and reads the window's
// pixels only then. Polling them instead would load the server and the CPU
// most for the program that takes longest from its map to its paint.
#include "peak_memory.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::seconds giveUpAfter() {
    const char* seconds = std::getenv("FIRST_PAINT_GIVE_UP_S");
    return std::chrono::seconds(seconds != nullptr ? std::atoi(seconds) : 30);
}

struct Window {
    xcb_window_t id = XCB_NONE;
    uint16_t width = 0;
    uint16_t height = 0;
};

[[noreturn]] void die(const char* message) {
    std::fprintf(stderr, "first_paint_watch: %s\n", message);
    std::exit(2);
}

[[noreturn]] void noPaint(const char* why, long peakKib) {
    std::printf("first_paint_ms=none peak_rss_kib=%ld\n", peakKib);
    std::fprintf(stderr, "first_paint_watch: %s\n", why);
    std::exit(3);
}

void checkDeadline(Clock::time_point start, pid_t child) {
    if (Clock::now() - start > giveUpAfter()) {
        const long peakKib = peakResidentKib(std::to_string(child));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        noPaint("the program showed no painted window in time", peakKib);
    }
    rusage usage{};
    if (wait4(child, nullptr, WNOHANG, &usage) != 0)
        noPaint("the program ended before painting a window", usage.ru_maxrss);
}

Window geometryOf(xcb_connection_t* connection, xcb_window_t id) {
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr), &std::free);
    if (!geometry)
        return {};
    return {id, geometry->width, geometry->height};
}

using Event = std::unique_ptr<xcb_generic_event_t, decltype(&std::free)>;

// The next event, waiting for it without a busy loop; the deadline and the child's end are checked
// at least every 50 ms meanwhile.
Event nextEvent(xcb_connection_t* connection, Clock::time_point start, pid_t child) {
    for (;;) {
        if (Event event(xcb_poll_for_event(connection), &std::free); event)
            return event;
        if (xcb_connection_has_error(connection))
            die("lost the X display");
        checkDeadline(start, child);
        pollfd server{xcb_get_file_descriptor(connection), POLLIN, 0};
        poll(&server, 1, 50);
    }
}

// The first window of a real size mapped as a child of the root.
Window waitForMappedWindow(xcb_connection_t* connection, Clock::time_point start, pid_t child) {
    for (;;) {
        const Event event = nextEvent(connection, start, child);
        if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
            continue;
        const auto* mapped = reinterpret_cast<const xcb_map_notify_event_t*>(event.get());
        const Window window = geometryOf(connection, mapped->window);
        if (window.width >= 100 && window.height >= 100)
            return window;
    }
}

// Returns at the next drawing into a window whose damage is watched.
void waitForDrawing(xcb_connection_t* connection, uint8_t damageNotify, Clock::time_point start,
                    pid_t child) {
    while ((nextEvent(connection, start, child)->response_type & 0x7f) != damageNotify) {
    }
}

// The event code of DamageNotify; the extension has to be asked for its version before use.
uint8_t startDamageExtension(xcb_connection_t* connection) {
    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(connection, &xcb_damage_id);
    if (!extension || !extension->present)
        die("the X server has no DAMAGE extension");
    std::free(xcb_damage_query_version_reply(connection, xcb_damage_query_version(connection, 1, 1),
                                             nullptr));
    return extension->first_event + XCB_DAMAGE_NOTIFY;
}

bool looksPainted(xcb_connection_t* connection, const Window& window) {
    std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> image(
        xcb_get_image_reply(connection,
                            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window.id, 0, 0,
                                          window.width, window.height, ~0u),
                            nullptr),
        &std::free);
    if (!image || image->depth != 24)
        return false;
    const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image.get()));
    const int count = xcb_get_image_data_length(image.get()) / 4;
    for (int i = 1; i < count; ++i)
        if ((pixels[i] ^ pixels[0]) & 0xffffff)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        die("usage: first_paint_watch SETTLE_MS COMMAND [ARGS...]");
    const auto settle = std::chrono::milliseconds(std::atoi(argv[1]));

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        die("cannot connect to the X display");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint8_t damageNotify = startDamageExtension(connection);
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }

    const Window window = waitForMappedWindow(connection, start, child);
    // Every drawing into the window from now on is an event; the first check sees what was drawn
    // before.
    const xcb_damage_damage_t damage = xcb_generate_id(connection);
    xcb_damage_create(connection, damage, window.id, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
    Clock::time_point painted = Clock::now();
    while (!looksPainted(connection, window)) {
        waitForDrawing(connection, damageNotify, start, child);
        painted = Clock::now();
        // Reported again at the next drawing, once this one is taken.
        xcb_damage_subtract(connection, damage, XCB_NONE, XCB_NONE);
    }
    const double paintedMs = std::chrono::duration<double, std::milli>(painted - start).count();

    std::this_thread::sleep_until(start + settle);
    const long peakKib = peakResidentKib(std::to_string(child));
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    xcb_disconnect(connection);

    std::printf("first_paint_ms=%.1f peak_rss_kib=%ld\n", paintedMs, peakKib);
    return 0;
}
