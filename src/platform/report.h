#pragma once

#include <string>

namespace platform {

// Tells the player, once per file and run, on stderr what is wrong with an
// asset file; the game carries on without it.
void reportFileProblem(const std::string& path, const std::string& problem);

} // namespace platform
