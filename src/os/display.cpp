// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "os/display.h"

#include "common/qt_messages.h"
#include "common/report.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace os {

namespace {

// Whether a compositor listens at WAYLAND_DISPLAY: a socket path, or a name in XDG_RUNTIME_DIR.
bool waylandReachable() {
    QByteArray path = qgetenv("WAYLAND_DISPLAY");
    if (path.isEmpty())
        path = "wayland-0"; // as libwayland takes an empty name
    if (!path.startsWith('/'))
        path = qgetenv("XDG_RUNTIME_DIR") + '/' + path;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (std::size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    const int client = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool reachable =
        client >= 0 &&
        ::connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (client >= 0)
        close(client);
    return reachable;
}

struct HeldMessage {
    QtMsgType type;
    const char* category; // Qt's categories live as long as the program
    QString text;
};

std::vector<HeldMessage> heldMessages;
std::optional<common::HoldQtMessages> startMessages;

void holdStartMessage(const QString& noPlatformPlugin, QtMsgType type,
                      const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
        const QString why = heldMessages.empty() ? message.section('\n', 0, 0)
                                                 : heldMessages.front().text.trimmed();
        common::tell(noPlatformPlugin.arg(why).toStdString());
        std::_Exit(1);
    }
    if (type == QtFatalMsg)
        return common::HoldQtMessages::passOn(type, context, message);
    heldMessages.push_back({type, context.category, message});
}

} // namespace

std::optional<std::string> chooseDisplay() {
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (!chosen.isEmpty() && !chosen.startsWith("xcb"))
        return std::nullopt; // the user picked another platform; Qt checks it
    const bool waylandNamed = chosen.isEmpty() && qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (waylandNamed) {
        if (waylandReachable())
            return std::nullopt;
        qunsetenv("WAYLAND_DISPLAY");
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        return (waylandNamed
                    ? QCoreApplication::translate("Display",
                                                  "no display: DISPLAY is not set, and no Wayland "
                                                  "compositor answers at WAYLAND_DISPLAY")
                    : QCoreApplication::translate(
                          "Display", "no display: DISPLAY and WAYLAND_DISPLAY are not set"))
            .toStdString();
    }
    return std::nullopt; // an X server that does not answer stops Qt's start, in one line
}

void holdQtStartMessages() {
    const QString noPlatformPlugin = QCoreApplication::translate(
        "Display", "cannot show the window: no Qt platform plugin could start (%1)");
    startMessages.emplace([noPlatformPlugin](QtMsgType type, const QMessageLogContext& context,
                                             const QString& message) {
        holdStartMessage(noPlatformPlugin, type, context, message);
    });
}

void passOnQtStartMessages() {
    startMessages.reset();
    for (const HeldMessage& message : heldMessages)
        common::HoldQtMessages::passOn(
            message.type, QMessageLogContext(nullptr, 0, nullptr, message.category), message.text);
    heldMessages.clear();
}

} // namespace os
