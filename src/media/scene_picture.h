#pragma once

#include "platform/controls.h"
#include "platform/prepared_pictures.h"

#include <optional>
#include <string>
#include <vector>

namespace media {

// The scene picture on the left of the window: a picture from the img folder
// stretched over the whole picture box.
class ScenePicture {
public:
    // `imgDir` is read at every call, so it may be filled in after construction.
    ScenePicture(platform::PictureBox& pic, platform::PictureBox& e, const std::string& imgDir);

    // Shows ImgDir + name + ".jpg"; an empty name repaints the last picture.
    void ShowPicture(const std::string& name);
    // A number is shown under its decimal text: 3 is "3".
    void ShowPicture(float number);

    // Reads these pictures ahead in the background, decoded for Pic, so that showing one later
    // does not hold up the window; call once ImgDir is set.
    void PreparePictures(const std::vector<std::string>& names);

private:
    platform::PictureBox& Pic;
    platform::PictureBox& E;
    const std::string& ImgDir;
    std::optional<platform::PreparedPictures> prepared_;
};

} // namespace media
