// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "check/music_check.h"
#include "sound/sound_device.h"

#include <memory>
#include <string>

namespace sound {

// The sound library, sound/libsorawata-sound.so beside the game: the sound server's device and the
// music check, with libpulse, libsndfile and its codecs behind them. The game loads it only when it
// first needs it, so that start-up never maps those libraries; what the library shares with the
// game (the lines told to the player, the file look-up) it takes from the game itself.
struct SoundLibrary {
    std::unique_ptr<SoundDevice> (*makeDevice)();
    check::MusicCheck (*checkMusic)(const std::string& path);
};

// The library, loaded on first use from any thread; nullptr when it cannot be, the reason told
// once.
const SoundLibrary* soundLibrary();

// A device whose open loads the library, at the lowest priority, and makes and opens the sound
// server's device on a thread of its own, once the game lets the library load. Until then it is
// "not ready", as the sound server's device is until the server answers; without the library it
// stays so, and the game plays on in silence.
std::unique_ptr<SoundDevice> makeSoundLibraryDevice();

// Lets the devices above load the library, for the rest of the run. The game does once its window
// is on screen: loaded while the window is made, the library held its first paint back by a tenth.
void letSoundLibraryLoad();

} // namespace sound

// The library's one entry point.
extern "C" const sound::SoundLibrary* sorawata_sound_library();
