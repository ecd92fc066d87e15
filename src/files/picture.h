// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "files/picture_decoder.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <string>

class QPainter;

namespace files {

// A picture as a picture box holds it, decoded once at no more than the size it is shown at; empty
// by default.
class Picture {
public:
    bool isEmpty() const { return size_.isEmpty(); }
    // Whether what it covers may show through it.
    bool hasAlpha() const { return image_.hasAlphaChannel(); }
    // The picture's own size in pixels, from the file; 0 x 0 when empty.
    QSize size() const { return size_; }
    // The size of the image it paints from.
    QSize decodedSize() const { return image_.size(); }
    // Paints the whole picture stretched into `target` (logical pixels), smoothly.
    void draw(QPainter& painter, const QRectF& target) const;

private:
    friend Picture LoadPicture(PictureDecoder& decoder, const std::string& path, QSize shownSize);

    QImage image_;
    QSize size_{0, 0};
};

// Decodes a picture file (JPEG, or PNG, GIF or BMP under a .jpg name) with `decoder`, at no more
// than `shownSize` (device pixels) either way. Missing, unreadable, of another kind, or too costly
// to decode: an empty Picture. What is wrong with the file, a damaged one that still shows
// included, is one line on stderr naming it, once per path.
Picture LoadPicture(PictureDecoder& decoder, const std::string& path, QSize shownSize);

} // namespace files
