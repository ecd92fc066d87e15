// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QTimer>
#include <functional>

namespace platform {

// A timer on the user-interface thread. Ticks that come late are not made up.
class Timer {
public:
    Timer(int intervalMs, bool enabled);
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    bool enabled() const { return timer_.isActive(); }
    // Enabling a timer, also one already running, starts its interval afresh.
    void setEnabled(bool enabled);

    std::function<void()> onTick;

private:
    QTimer timer_;
};

} // namespace platform
