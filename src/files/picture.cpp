// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "files/picture.h"

#include "common/report.h"
#include "files/asset_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <atomic>

namespace files {

using common::reportFileProblem;
namespace {

// Whether the file is a sequential (baseline) JPEG, from its markers up to its frame header.
bool isSequentialJpeg(QIODevice& file) {
    if (file.read(2) != "\xFF\xD8")
        return false;
    for (int segment = 0; segment < 256; ++segment) {
        const QByteArray head = file.read(4);
        if (head.size() < 4 || uchar(head[0]) != 0xFF)
            return false;
        const uchar marker = head[1];
        if (marker == 0xC0 || marker == 0xC1)
            return true;
        if (marker >= 0xC2 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return false; // progressive, lossless or arithmetic-coded
        const int length = uchar(head[2]) << 8 | uchar(head[3]);
        if (length < 2 || !file.seek(file.pos() + length - 2))
            return false;
    }
    return false;
}

// The most pixels a picture may claim. libjpeg decodes a sequential JPEG a few rows at a time, down
// to an eighth: 256 million take it a tenth of a second. Anything else is held whole while decoded
// (a progressive JPEG: 8 bytes a pixel): 32 million, 256 MB; a 6000 x 4000 photo has 24 million.
qint64 mostPixelsOf(QIODevice& file) {
    const bool sequential = isSequentialJpeg(file);
    file.seek(0);
    return sequential ? qint64(256) << 20 : qint64(32) << 20;
}

// Qt's messages from a thread while it reads a picture are held back for the game's own line about
// the file: libjpeg's "Corrupt JPEG data" names no file, and comes on every read. The first one is
// kept; other threads' messages pass on.
thread_local QString* firstHeld = nullptr; // this thread's, while it reads a picture
std::atomic<QtMessageHandler> passOn;

void holdOrPassOn(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg && firstHeld != nullptr) {
        if (firstHeld->isEmpty())
            *firstHeld = message;
    } else if (const QtMessageHandler next = passOn.load()) {
        next(type, context, message);
    }
}

struct HeldQtMessages {
    HeldQtMessages() {
        firstHeld = &first_;
        passOn.store(qInstallMessageHandler(holdOrPassOn));
    }
    ~HeldQtMessages() {
        qInstallMessageHandler(passOn.load());
        firstHeld = nullptr;
    }
    // The first message held, in brackets; empty when there was none.
    std::string first() const {
        return first_.isEmpty() ? "" : " (" + first_.trimmed().toStdString() + ")";
    }
    QString first_;
};

} // namespace

void Picture::draw(QPainter& painter, const QRectF& target) const {
    if (isEmpty() || target.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image_);
    painter.restore();
}

Picture LoadPicture(const std::string& path, QSize shownSize) {
    AssetFile asset(path);
    if (!asset.isOpen()) {
        reportFileProblem(path, asset.problem());
        return {};
    }
    QFile file;
    if (!file.open(asset.descriptor(), QIODevice::ReadOnly, QFile::DontCloseHandle)) {
        reportFileProblem(path, file.errorString().toStdString());
        return {};
    }
    const qint64 mostPixels = mostPixelsOf(file);
    HeldQtMessages held;
    QImageReader reader(&file);
    if (!reader.canRead()) {
        reportFileProblem(
            path,
            QCoreApplication::translate("Picture", "not a picture that can be read").toStdString() +
                held.first());
        return {};
    }
    const QSize size = reader.size();
    if (size.isEmpty()) {
        reportFileProblem(
            path, QCoreApplication::translate("Picture", "a picture without a size").toStdString() +
                      held.first());
        return {};
    }
    if (qint64(size.width()) * size.height() > mostPixels) {
        reportFileProblem(
            path, QCoreApplication::translate(
                      "Picture", "picture too large (%1 x %2 pixels, at most %3 pixels are read)")
                      .arg(size.width())
                      .arg(size.height())
                      .arg(mostPixels)
                      .toStdString());
        return {};
    }
    // Also at the picture's own size: a GIF's canvas may be larger than its first frame. JPEG:
    // libjpeg's DCT scaling, then a smooth finish. Whatever follows the picture is never read.
    reader.setScaledSize(shownSize.boundedTo(size).expandedTo(QSize(1, 1)));
    Picture picture;
    picture.image_ = reader.read(); // a truncated file gives what could be decoded
    if (picture.image_.isNull()) {
        reportFileProblem(path, QCoreApplication::translate("Picture", "cannot be decoded (%1)")
                                        .arg(reader.errorString())
                                        .toStdString() +
                                    held.first());
        return {};
    }
    if (!held.first().empty())
        reportFileProblem(path, QCoreApplication::translate(
                                    "Picture", "damaged picture%1; what could be read shows")
                                    .arg(QString::fromStdString(held.first()))
                                    .toStdString());
    picture.size_ = size;
    return picture;
}

} // namespace files
