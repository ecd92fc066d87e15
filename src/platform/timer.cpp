// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "platform/timer.h"

namespace platform {

// Precise: a timer never fires early, so a second on screen is a whole second. The music's
// millisecond timer wakes the thread anyway, so coarse timers would save nothing.
Timer::Timer(int intervalMs, bool enabled) {
    timer_.setInterval(intervalMs);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (onTick) {
            onTick();
        }
    });
    setEnabled(enabled);
}

void Timer::setEnabled(bool enabled) {
    if (enabled) {
        timer_.start();
    } else {
        timer_.stop();
    }
}

} // namespace platform
