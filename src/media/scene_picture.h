// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/controls.h"

#include <string>

namespace media {

// The scene picture on the left of the window: a picture from the img folder
// stretched over the whole picture box. Every call reads and decodes the file
// anew, on the spot.
class ScenePicture {
public:
    ScenePicture(platform::PictureBox& pic, platform::PictureBox& e);

    // The picture folder, ImgDir, once start-up knows it.
    void setFolder(std::string imgDir);

    // Shows ImgDir + name + ".jpg"; an empty name repaints the last picture.
    void ShowPicture(const std::string& name);
    // A number is shown under its decimal text: 3 is "3".
    void ShowPicture(float number);

private:
    platform::PictureBox& Pic;
    platform::PictureBox& E;
    std::string ImgDir;
};

} // namespace media
