#pragma once

#include <string>

namespace platform {

// Tells the player, once per file and run, on stderr what is wrong with an
// asset file; the game carries on without it.
void reportFileProblem(const std::string& path, const std::string& problem);

// Tells the player on stderr how the music's audio output stands: one line when it is missing or
// lost, one when it is back.
void reportAudioOutput(const std::string& news);

} // namespace platform
