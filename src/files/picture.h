// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <string>

class QPainter;

namespace files {

// A picture as a picture box holds it: read from a file (JPEG or any format Qt reads), with its
// size in pixels, painted stretched. A picture read from a file is decoded once, at no more than
// the size it is shown at.
class Picture {
public:
    Picture() = default; // no picture

    bool isEmpty() const;
    // Whether what it covers may show through it.
    bool hasAlpha() const { return image_.hasAlphaChannel(); }
    // The picture's own size in pixels (from the file header); 0 x 0 when empty.
    QSize size() const;
    // Paints the part `source` (picture pixels) stretched into `target` (painter's logical
    // coordinates), smoothly.
    void draw(QPainter& painter, const QRectF& target, const QRectF& source) const;
    // The size of the image it paints from: a picture larger than the size asked for at the load
    // is decoded at that size.
    QSize decodedSize() const;

private:
    friend Picture LoadPicture(const std::string& path, QSize shownSize);

    QImage image_;
    QSize size_{0, 0};
};

// Reads a picture file and decodes it straight from the file, at no more than `shownSize` (device
// pixels) in either direction. Missing, unreadable, not an image, or claiming more pixels than any
// scene needs: returns an empty Picture. What is wrong with the file, a damaged one that still
// shows included, is one line on stderr naming it, only the first time for that path; Qt's own
// warnings about it go into that line.
Picture LoadPicture(const std::string& path, QSize shownSize);

} // namespace files
