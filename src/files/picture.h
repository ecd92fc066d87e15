// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "files/picture_decoder.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <functional>
#include <memory>
#include <string>

class QPainter;

namespace files {

// A picture as a picture box holds it, decoded once at no more than the size it is shown at; empty
// by default. One still on its way from the decoder is waited for when first looked at, by any of
// its copies.
class Picture {
public:
    // Whether it is still on its way: looking at it would wait for the decoder.
    bool onItsWay() const { return decoded_ && decoded_->onItsWayFrom != nullptr; }
    bool isEmpty() const { return arrived().size.isEmpty(); }
    // Whether what it covers may show through it.
    bool hasAlpha() const { return arrived().image.hasAlphaChannel(); }
    // The picture's own size in pixels, from the file; 0 x 0 when empty.
    QSize size() const { return arrived().size; }
    // The size of the image it paints from.
    QSize decodedSize() const { return arrived().image.size(); }
    // Paints the whole picture stretched into `target` (logical pixels), smoothly.
    void draw(QPainter& painter, const QRectF& target) const;

private:
    friend Picture LoadPicture(PictureDecoder& decoder, const std::string& path, QSize shownSize);
    friend Picture RequestPicture(PictureDecoder& decoder, const std::string& path, QSize shownSize,
                                  std::function<void()> arrived);

    struct Decoded {
        QImage image;
        QSize size{0, 0};
        PictureDecoder* onItsWayFrom = nullptr;
    };
    const Decoded& arrived() const;

    std::shared_ptr<Decoded> decoded_; // null when empty
};

// Decodes a picture file (JPEG, or PNG, GIF or BMP under a .jpg name) with `decoder`, at no more
// than `shownSize` (device pixels) either way. Missing, unreadable, of another kind, or too costly
// to decode: an empty Picture. What is wrong with the file, a damaged one that still shows
// included, is one line on stderr naming it, once per path.
Picture LoadPicture(PictureDecoder& decoder, const std::string& path, QSize shownSize);

// The same, returning while the decoder works: the picture arrives when the event loop has the
// decoder's answer, when first looked at, or when `decoder` is next asked for a picture, which
// first finishes this one. Then `arrived` is called, whichever way it came. `decoder` outlives it.
Picture RequestPicture(PictureDecoder& decoder, const std::string& path, QSize shownSize,
                       std::function<void()> arrived = {});

} // namespace files
