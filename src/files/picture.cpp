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
    painter.drawImage(target, image_);
    painter.restore();
}

Picture LoadPicture(PictureDecoder& decoder, const std::string& path, QSize shownSize) {
    const AssetFile asset(path);
    if (!asset.isOpen()) {
        common::reportFileProblem(path, asset.problem());
        return {};
    }
    PictureDecoder::Result decoded = decoder.decode(asset.descriptor(), shownSize);
    if (!decoded.problem.empty())
        common::reportFileProblem(path, decoded.problem);
    Picture picture;
    if (!decoded.image.isNull()) {
        picture.image_ = std::move(decoded.image);
        picture.size_ = decoded.size;
    }
    return picture;
}

} // namespace files
