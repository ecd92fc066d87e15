// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// Scene pictures as any bytes: loading must refuse what it cannot read, and whatever it accepts
// must paint stretched into the scene box like the game paints it.
#include "files/picture.h"
#include "scratch_file.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The scene box of the game's window, in pixels.
constexpr QSize kSceneBox(340, 320);

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv); // lives as long as the fuzzer
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile scratch("sorawata-fuzz-picture");
    scratch.write(data, size);
    const files::Picture picture = files::LoadPicture(scratch.path(), kSceneBox);
    if (picture.isEmpty())
        return 0;

    QImage box(kSceneBox, QImage::Format_ARGB32_Premultiplied);
    box.fill(Qt::transparent);
    QPainter painter(&box);
    picture.draw(painter, QRectF(QPointF(0, 0), QSizeF(kSceneBox)));
    const QSize decoded = picture.decodedSize();
    if (decoded.isEmpty() || decoded.width() > kSceneBox.width() ||
        decoded.height() > kSceneBox.height() || decoded.width() > picture.size().width() ||
        decoded.height() > picture.size().height())
        std::abort();
    return 0;
}
