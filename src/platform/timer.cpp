#include "platform/timer.h"

namespace platform {

Timer::Timer(int intervalMs, bool enabled) {
    timer_.setInterval(intervalMs);
    timer_.setTimerType(intervalMs < 20 ? Qt::PreciseTimer : Qt::CoarseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (onTick) {
            onTick();
        }
    });
    setEnabled(enabled);
}

void Timer::setEnabled(bool enabled) {
    if (enabled && !timer_.isActive()) {
        timer_.start();
    } else if (!enabled) {
        timer_.stop();
    }
}

} // namespace platform
