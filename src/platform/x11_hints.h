#pragma once

class QWidget;

namespace platform {

// Asks the window manager to keep the window off the taskbar. Qt has no call
// for it, and Qt rewrites the window's state when it maps it, so this is
// repeated after every show.
void markSkipTaskbar(QWidget& window);

} // namespace platform
