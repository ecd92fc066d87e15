// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "files/picture_decoder.h"

#include <chrono>

// The game's own picture decoder, built beside the tests, one for the whole run. Its deadline is
// generous: these tests are about what shows, not about how long a busy machine takes.
inline files::PictureDecoder& testPictureDecoder() {
    static files::PictureDecoder decoder(SORAWATA_PICTURE_DECODER, std::chrono::seconds(30));
    return decoder;
}
