// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "sound/sound_device.h"

#include <memory>

namespace sound {

// Plays music through the sound server (PulseAudio, or PipeWire's) from an audio thread of its own,
// which also opens the file, rewinding while the output still holds sound: no gap. Without an
// output it is "not ready" and asks again once a second, then stands stopped at the start, at the
// mixer's last volume and mute.
std::unique_ptr<SoundDevice> makeSoundServerDevice();

} // namespace sound
