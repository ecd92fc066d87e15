// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// Scene pictures as any bytes, through what the picture decoder process runs: it must refuse what
// it cannot read, and whatever it accepts must come at no more than the size asked for and paint
// stretched into the scene box like the game paints it.
#include "decoder/decode.h"
#include "scratch_file.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The scene box of the game's window, in pixels.
constexpr QSize kSceneBox(340, 320);

// Whether the picture claims more pixels than a decode within the decoder process's memory limit
// can have. In the game that limit ends such a decode; in here it would end the fuzzer, and
// the decoding-budget tests cover it.
bool claimsMoreThanTheBudget(const std::string& path) {
    const QSize claimed = QImageReader(QString::fromStdString(path)).size();
    return qint64(claimed.width()) * claimed.height() > (qint64(32) << 20);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv); // lives as long as the fuzzer
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile scratch("sorawata-fuzz-picture");
    scratch.write(data, size);
    if (claimsMoreThanTheBudget(scratch.path()))
        return 0;
    const int file = open(scratch.path().c_str(), O_RDONLY | O_CLOEXEC);
    const decoder::Decoded decoded = decoder::decode(file, kSceneBox);
    close(file);
    if (decoded.image.isNull())
        return 0;

    QImage box(kSceneBox, QImage::Format_ARGB32_Premultiplied);
    box.fill(Qt::transparent);
    QPainter painter(&box);
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(kSceneBox)), decoded.image);
    const QSize shown = decoded.image.size();
    if (shown.width() > kSceneBox.width() || shown.height() > kSceneBox.height() ||
        shown.width() > decoded.size.width() || shown.height() > decoded.size.height() ||
        (decoded.image.format() != QImage::Format_RGB32 &&
         decoded.image.format() != QImage::Format_ARGB32_Premultiplied))
        std::abort();
    return 0;
}
