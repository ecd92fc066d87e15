#pragma once

#include <optional>
#include <string>

namespace platform {

// Why no window can be shown here, or nothing when a display is reachable.
// Checked before Qt starts, which would otherwise abort with a core dump.
std::optional<std::string> whyNoDisplay();

// Picks Qt's GStreamer media backend unless the user chose one: the FFmpeg
// backend crashes when there is no sound server.
void chooseMediaBackend();

} // namespace platform
