// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "media/scene_picture.h"

#include <cmath>

namespace media {

ScenePicture::ScenePicture(platform::PictureBox& pic, platform::PictureBox& e) : Pic(pic), E(e) {}

void ScenePicture::setFolder(std::string imgDir) {
    ImgDir = std::move(imgDir);
}

void ScenePicture::ShowPicture(const std::string& name) {
    Pic.cls();
    if (!name.empty()) {
        const std::string path = ImgDir + name + ".jpg";
        // Decoded at the size it is shown at, in the box's device pixels.
        E.setPicture(platform::LoadPicture(path, Pic.deviceSize()));
    }
    Pic.setScaleMode(platform::ScaleMode::Pixels);
    E.setScaleMode(platform::ScaleMode::Pixels);
    Pic.paintPicture(E.picture(), 0, 0, Pic.scaleWidth(), Pic.scaleHeight(), 0, 0, E.scaleWidth(),
                     E.scaleHeight());
    Pic.setVisible(true);
}

void ScenePicture::ShowPicture(float number) {
    ShowPicture(std::to_string(static_cast<long>(std::lround(number))));
}

} // namespace media
