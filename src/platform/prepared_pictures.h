#pragma once

#include "platform/picture.h"

#include <QSize>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace platform {

class PictureBox;

// Pictures read on a worker thread before they are first shown; those much larger than the
// picture box are decoded there too, at the size the box shows them whole, so that a camera-sized
// scene costs no decoding when a choice shows it. A picture the worker has not started on yet is
// read at once by whoever asks first.
class PreparedPictures {
public:
    // Starts reading `paths`, in order, for drawing whole into `box`.
    PreparedPictures(const PictureBox& box, const std::vector<std::string>& paths);
    // Waits for the picture being decoded; the ones not started are dropped.
    ~PreparedPictures();

    // The picture at `path` as LoadPicture reads it. The prepared one while the file and the
    // box's size are what they were when it was prepared; otherwise the file is read now.
    Picture load(const std::string& path);

private:
    struct Entry;

    const PictureBox& box_;
    const QSize deviceSize_; // the box's, when the preparing started
    std::vector<std::unique_ptr<Entry>> entries_;
    std::jthread worker_; // last: stopped and joined before the entries go
};

} // namespace platform
