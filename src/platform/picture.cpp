// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "platform/picture.h"

#include "platform/asset_file.h"
#include "platform/report.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTransform>
#include <atomic>
#include <thread>

namespace platform {
namespace {

// The most pixels a picture may claim. A progressive JPEG makes libjpeg keep the coefficients of
// the whole picture, up to 8 bytes a pixel, however small it is decoded: here at most 256 MB, and a
// decode takes well under a second. A 6000 x 4000 photo has 24 million.
constexpr qint64 mostPixels = 32 * 1024 * 1024;

// Qt's messages from the thread that reads a picture, while it does, are held back for the game's
// own line about the file: libjpeg's "Corrupt JPEG data" names no file, and comes on every read.
// Messages from other threads pass on.
std::atomic<std::thread::id> holdingThread;
std::atomic<QtMessageHandler> passOn;
QString firstHeld;

void holdOrPassOn(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg && std::this_thread::get_id() == holdingThread.load()) {
        if (firstHeld.isEmpty())
            firstHeld = message;
        return;
    }
    if (const QtMessageHandler next = passOn.load())
        next(type, context, message);
}

class HeldQtMessages {
public:
    HeldQtMessages() {
        firstHeld.clear();
        holdingThread.store(std::this_thread::get_id());
        passOn.store(qInstallMessageHandler(holdOrPassOn));
    }
    ~HeldQtMessages() {
        qInstallMessageHandler(passOn.load());
        holdingThread.store({});
    }
    HeldQtMessages(const HeldQtMessages&) = delete;
    HeldQtMessages& operator=(const HeldQtMessages&) = delete;

    // The first message held, in brackets; empty when there was none.
    std::string first() const {
        return firstHeld.isEmpty() ? "" : " (" + firstHeld.trimmed().toStdString() + ")";
    }
};

std::string sizeText(QSize size) {
    return std::to_string(size.width()) + " x " + std::to_string(size.height()) + " pixels";
}

} // namespace

bool Picture::isEmpty() const {
    return size_.isEmpty();
}

QSize Picture::size() const {
    return size_;
}

QSize Picture::decodedSize() const {
    return image_.size();
}

void Picture::draw(QPainter& painter, const QRectF& target, const QRectF& source) const {
    if (isEmpty() || source.isEmpty() || target.isEmpty())
        return;
    const QTransform toImage = QTransform::fromScale(qreal(image_.width()) / size_.width(),
                                                     qreal(image_.height()) / size_.height());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image_, toImage.mapRect(source));
    painter.restore();
}

Picture LoadPicture(const std::string& path, QSize shownSize) {
    AssetFile asset(path);
    if (!asset.isOpen()) {
        reportFileProblem(path, asset.problem());
        return {};
    }
    QFile file;
    if (!file.open(asset.descriptor(), QIODevice::ReadOnly, QFile::AutoCloseHandle)) {
        reportFileProblem(path, file.errorString().toStdString());
        return {};
    }
    asset.release();
    const HeldQtMessages held;
    QImageReader reader(&file);
    if (!reader.canRead()) {
        reportFileProblem(path, "not a picture that can be read" + held.first());
        return {};
    }
    const QSize size = reader.size();
    if (size.isEmpty()) {
        reportFileProblem(path, "a picture without a size" + held.first());
        return {};
    }
    if (qint64(size.width()) * size.height() > mostPixels) {
        reportFileProblem(path, "picture too large (" + sizeText(size) + ", at most " +
                                    std::to_string(mostPixels) + " pixels are read)");
        return {};
    }
    // Also at the picture's own size: a GIF's canvas may be larger than the first frame that
    // gives the size, and would otherwise decode whole. JPEG: libjpeg's DCT scaling, then a
    // smooth finish. The reader stops where the picture ends, whatever follows it in the file.
    reader.setScaledSize(shownSize.boundedTo(size).expandedTo(QSize(1, 1)));
    Picture picture;
    picture.image_ = reader.read(); // a truncated file gives what could be decoded
    if (picture.image_.isNull()) {
        reportFileProblem(path, "cannot be decoded (" + reader.errorString().toStdString() + ")" +
                                    held.first());
        return {};
    }
    if (!held.first().empty())
        reportFileProblem(path, "damaged picture" + held.first() + "; what could be read shows");
    picture.size_ = size;
    return picture;
}

} // namespace platform
