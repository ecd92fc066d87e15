// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "decoder/protocol.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace decoder {

struct Decoded {
    Outcome outcome = Outcome::Unreadable;
    QSize size;      // the picture's own size
    QImage image;    // at no more than the size asked for; RGB32, or premultiplied ARGB32
    QString message; // what the decoder library said first, if anything
};

// Loads the readers of the kinds that come as plugins (JPEG, GIF) and the libraries behind them,
// while the decoder has nothing else to do: the game's first picture need not wait for them.
void loadPluginReaders();

// Decodes the picture file open at `descriptor` at no more than `shownSize`, either way. Only the
// kinds a pack holds under a .jpg name are read: JPEG, and PNG, GIF and BMP saved under that name.
Decoded decode(int descriptor, QSize shownSize);

} // namespace decoder
