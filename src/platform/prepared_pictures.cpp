#include "platform/prepared_pictures.h"

#include "platform/asset_path.h"
#include "platform/controls.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <future>
#include <optional>

namespace platform {
namespace {

// Enough to tell that a player has replaced a file since it was prepared.
struct FileStamp {
    std::string resolvedPath;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified;

    bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> stampOf(const std::string& path) {
    FileStamp stamp;
    stamp.resolvedPath = findFileIgnoringCase(path);
    std::error_code error;
    stamp.size = std::filesystem::file_size(stamp.resolvedPath, error);
    if (error)
        return std::nullopt;
    stamp.modified = std::filesystem::last_write_time(stamp.resolvedPath, error);
    if (error)
        return std::nullopt;
    return stamp;
}

// Decoding ahead pays for pictures much larger than the box, which take libjpeg tens of
// milliseconds even scaled down. A smaller one keeps only its file's bytes, which take a fraction
// of its pixels' memory, and decodes in well under a millisecond when shown.
Picture readAhead(const std::string& path, QSize deviceSize) {
    Picture picture = LoadPicture(path);
    const qint64 pictureArea = qint64(picture.size().width()) * picture.size().height();
    const qint64 boxArea = qint64(deviceSize.width()) * deviceSize.height();
    return pictureArea > 4 * boxArea ? picture.decodedFor(deviceSize) : picture;
}

struct Prepared {
    std::optional<FileStamp> stamp; // taken before reading, so a change while reading shows
    Picture picture;
};

} // namespace

struct PreparedPictures::Entry {
    Entry(std::string picturePath, QSize deviceSize)
        : path(std::move(picturePath)), task([this, deviceSize] {
              return Prepared{stampOf(path), readAhead(path, deviceSize)};
          }),
          result(task.get_future().share()) {}

    // Runs the reading unless another thread has taken it on.
    void claim() {
        if (!claimed.exchange(true))
            task();
    }

    const std::string path;
    std::atomic<bool> claimed = false;
    std::packaged_task<Prepared()> task;
    std::shared_future<Prepared> result;
};

PreparedPictures::PreparedPictures(const PictureBox& box, const std::vector<std::string>& paths)
    : box_(box), deviceSize_(box.deviceSize()) {
    for (const std::string& path : paths)
        entries_.push_back(std::make_unique<Entry>(path, deviceSize_));
    worker_ = std::jthread([this](const std::stop_token& stop) {
        for (const auto& entry : entries_) {
            if (stop.stop_requested())
                return;
            entry->claim();
        }
    });
}

PreparedPictures::~PreparedPictures() = default;

Picture PreparedPictures::load(const std::string& path) {
    for (const auto& entry : entries_) {
        if (entry->path != path)
            continue;
        entry->claim();
        const Prepared& prepared = entry->result.get();
        if (box_.deviceSize() == deviceSize_ && prepared.stamp == stampOf(path))
            return prepared.picture;
        break;
    }
    return LoadPicture(path);
}

} // namespace platform
