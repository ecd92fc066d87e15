// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "files/picture.h"

#include "common/report.h"
#include "files/asset_file.h"

#include <QPainter>

namespace files {

void Picture::draw(QPainter& painter, const QRectF& target) const {
    if (isEmpty() || target.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, arrived().image);
    painter.restore();
}

// While a picture is on its way, it is the one its decoder has on its way: sending the next one
// would have finished it.
const Picture::Decoded& Picture::arrived() const {
    static const Decoded none;
    if (!decoded_)
        return none;
    if (decoded_->onItsWayFrom != nullptr)
        decoded_->onItsWayFrom->finish();
    return *decoded_;
}

Picture LoadPicture(PictureDecoder& decoder, const std::string& path, QSize shownSize) {
    Picture picture = RequestPicture(decoder, path, shownSize);
    picture.arrived();
    return picture;
}

// What was wrong with the file is told when it arrives, even if nothing looks at it any more.
Picture RequestPicture(PictureDecoder& decoder, const std::string& path, QSize shownSize,
                       std::function<void()> arrived) {
    decoder.finish(); // the lines about the files come in the order they were read
    const AssetFile asset(path);
    if (!asset.isOpen()) {
        common::reportFileProblem(path, asset.problem());
        return {};
    }
    Picture picture;
    picture.decoded_ = std::make_shared<Picture::Decoded>();
    picture.decoded_->onItsWayFrom = &decoder;
    decoder.send(asset.descriptor(), shownSize,
                 [path, waiting = std::weak_ptr(picture.decoded_),
                  arrived = std::move(arrived)](PictureDecoder::Result result) {
                     if (!result.problem.empty())
                         common::reportFileProblem(path, result.problem);
                     if (const auto decoded = waiting.lock()) {
                         decoded->onItsWayFrom = nullptr;
                         if (!result.image.isNull())
                             *decoded = {std::move(result.image), result.size};
                     }
                     if (arrived)
                         arrived();
                 });
    return picture;
}

} // namespace files
