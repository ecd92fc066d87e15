// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <string>

class QIODevice;
class QPainter;

namespace platform {

// A picture as a picture box holds it: read from a file (JPEG or any format Qt reads), with its
// size in pixels, painted stretched. A loaded picture keeps the file's bytes and decodes them
// when drawn, at no more than the size the drawing needs.
class Picture {
public:
    Picture() = default; // no picture
    // A picture compiled into the program, such as ":/opening.jpg", that the game treats as
    // `size` pixels; the resource may hold more, which high-density screens show. Empty if
    // there is none.
    static Picture fromResource(const QString& path, QSize size);

    bool isEmpty() const;
    // The picture's own size in pixels (from the file header); 0 x 0 when empty.
    QSize size() const;
    // Paints the part `source` (picture pixels) stretched into `target` (painter's logical
    // coordinates), smoothly.
    void draw(QPainter& painter, const QRectF& target, const QRectF& source) const;
    // The size of the image the last draw painted from: a picture much larger than its target
    // is decoded at about the target's size in device pixels. Empty before the first draw.
    QSize decodedSize() const;

private:
    friend Picture LoadPicture(const std::string& path);
    // Reads an open picture's header and keeps its bytes; reports problems under `name`.
    static Picture readEncoded(QIODevice& device, const std::string& name);

    QSize decodeSizeFor(const QPainter& painter, const QRectF& target, const QRectF& source) const;
    const QImage& imageAt(QSize decodeSize) const;

    QByteArray encoded_; // the file's bytes
    QSize size_{0, 0};
    QSize pixels_{0, 0}; // what the file holds: the size, or more for a compiled-in picture
    // The last decode, kept for repeated draws at the same size.
    mutable QImage decoded_;
    mutable QSize decodedRequest_;
};

// Reads a picture file. Missing, unreadable, not an image, or absurdly large: returns an empty
// Picture and prints one line on stderr naming the file and what is wrong, only the first time
// for that path.
Picture LoadPicture(const std::string& path);

} // namespace platform
