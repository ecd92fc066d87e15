// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "files/picture_decoder.h"

#include <QColor>
#include <chrono>
#include <cstdlib>

// The game's own picture decoder, built beside the tests, one for the whole run. Its deadline is
// generous: these tests are about what shows, not about how long a busy machine takes.
inline files::PictureDecoder& testPictureDecoder() {
    static files::PictureDecoder decoder(
        SORAWATA_PICTURE_DECODER, files::PictureDecoder::Start::AtOnce, std::chrono::seconds(30));
    return decoder;
}

// The colours of the test pictures and of the layout, as the end-to-end tests know them too.
namespace colour {
#define SORAWATA_COLOUR(name, red, green, blue) inline const QColor name(red, green, blue);
#include "colours.h"
#undef SORAWATA_COLOUR
} // namespace colour

// True when two colours differ by at most `tolerance` per channel (JPEG is lossy).
inline bool near(const QColor& a, const QColor& b, int tolerance = 12) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}
