// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "platform/picture.h"

#include "platform/asset_path.h"
#include "platform/report.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPaintDevice>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

// Whether even the smallest decode of a picture this size would break Qt's allocation limit
// (which stays in force for every decode). libjpeg can decode down to 1/8 per side; other
// formats decode at full size. Counted as 32-bit pixels, as a colour picture decodes.
bool exceedsAllocationLimit(QSize size, const QByteArray& format) {
    const qint64 limitBytes = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    if (limitBytes <= 0)
        return false; // the limit is switched off
    const qint64 divisor = format == "jpeg" ? 8 : 1;
    const qint64 width = (size.width() + divisor - 1) / divisor;
    const qint64 height = (size.height() + divisor - 1) / divisor;
    return width * height * 4 > limitBytes;
}

} // namespace

Picture Picture::fromResource(const QString& path, QSize size) {
    QFile resource(path);
    if (!resource.open(QIODevice::ReadOnly)) {
        reportFileProblem(path.toStdString(), resource.errorString().toStdString());
        return {};
    }
    Picture picture = readEncoded(resource, path.toStdString());
    if (!picture.isEmpty())
        picture.size_ = size;
    return picture;
}

Picture Picture::readEncoded(QIODevice& device, const std::string& name) {
    QImageReader header(&device);
    if (!header.canRead()) {
        reportFileProblem(name, "not a picture that can be read");
        return {};
    }
    const QSize size = header.size();
    if (size.isEmpty()) {
        reportFileProblem(name, "a picture without a size");
        return {};
    }
    if (exceedsAllocationLimit(size, header.format())) {
        reportFileProblem(name, "picture too large (" + std::to_string(size.width()) + " x " +
                                    std::to_string(size.height()) + " pixels)");
        return {};
    }
    device.seek(0);
    Picture picture;
    picture.encoded_ = device.readAll();
    picture.size_ = size;
    picture.pixels_ = size;
    return picture;
}

bool Picture::isEmpty() const {
    return size_.isEmpty();
}

QSize Picture::size() const {
    return size_;
}

QSize Picture::decodedSize() const {
    return decoded_.size();
}

void Picture::draw(QPainter& painter, const QRectF& target, const QRectF& source) const {
    if (isEmpty() || source.isEmpty() || target.isEmpty())
        return;
    const QImage& image = imageAt(decodeSizeFor(painter, target, source));
    if (image.isNull())
        return;
    const QTransform toImage = QTransform::fromScale(qreal(image.width()) / size_.width(),
                                                     qreal(image.height()) / size_.height());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image, toImage.mapRect(source));
    painter.restore();
}

// The decode that gives `source` about one image pixel per device pixel of `target`, never
// larger than the file holds (enlarging is left to the painter).
QSize Picture::decodeSizeFor(const QPainter& painter, const QRectF& target,
                             const QRectF& source) const {
    const qreal pixelRatio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QRectF deviceTarget = painter.worldTransform().mapRect(target);
    const qreal width = deviceTarget.width() * pixelRatio * size_.width() / source.width();
    const qreal height = deviceTarget.height() * pixelRatio * size_.height() / source.height();
    return QSize(std::clamp(int(std::ceil(width)), 1, pixels_.width()),
                 std::clamp(int(std::ceil(height)), 1, pixels_.height()));
}

const QImage& Picture::imageAt(QSize decodeSize) const {
    if (decodeSize == decodedRequest_)
        return decoded_;
    QBuffer buffer;
    buffer.setData(encoded_);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Also at the picture's own size: a GIF's canvas may be larger than the first frame that
    // gives the size, and would otherwise decode whole. JPEG: libjpeg's DCT scaling, then a
    // smooth finish.
    reader.setScaledSize(decodeSize);
    decoded_ = reader.read(); // a truncated file gives what could be decoded
    decodedRequest_ = decodeSize;
    return decoded_;
}

Picture LoadPicture(const std::string& path) {
    // Opened by its bytes: a path that is no UTF-8 would not survive a trip through QString.
    const int descriptor = ::open(findFileIgnoringCase(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        reportFileProblem(path, std::strerror(errno));
        return {};
    }
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFile::AutoCloseHandle)) {
        ::close(descriptor);
        reportFileProblem(path, file.errorString().toStdString());
        return {};
    }
    return Picture::readEncoded(file, path);
}

} // namespace platform
