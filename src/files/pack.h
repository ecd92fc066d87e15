// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

// The files of an asset pack, named within its folder: the game reads them, the pack checker lists
// them.
namespace files::pack {

inline constexpr char murmurs[] = "dat.txt";
inline constexpr char music[] = "bgm.wav";
inline constexpr char pictures[] = "img/"; // the folder of the pictures below
inline constexpr char pictureExtension[] = ".jpg";

inline constexpr int sceneCount = 5;  // the scenes a night draws from
inline constexpr int endingCount = 2; // 0 the player's, 1 the partner's

// Ending n's text: "end0.txt".
std::string endingText(int n);
// A picture's name, as the window's ShowPicture takes it: "0" for scene 0, "end1" for ending 1.
// Its file is the name and pictureExtension in the pictures' folder.
std::string scenePicture(int n);
std::string endingPicture(int n);

} // namespace files::pack
