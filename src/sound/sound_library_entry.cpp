// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "sound/sound_library.h"
#include "sound/sound_server_device.h"

extern "C" __attribute__((visibility("default"))) const sound::SoundLibrary*
sorawata_sound_library() {
    static const sound::SoundLibrary library{sound::makeSoundServerDevice, check::checkMusic};
    return &library;
}
