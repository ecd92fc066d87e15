// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "decoder/decode.h"

#include "common/qt_messages.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <cerrno>
#include <tuple>

namespace decoder {
namespace {

// The kind of picture, from its first bytes; empty for any other.
QByteArray kindOf(const QByteArray& start) {
    if (start.startsWith("\xFF\xD8\xFF"))
        return "jpeg";
    if (start.startsWith("\x89PNG\r\n\x1A\n"))
        return "png";
    if (start.startsWith("GIF87a") || start.startsWith("GIF89a"))
        return "gif";
    if (start.startsWith("BM"))
        return "bmp";
    return {};
}

} // namespace

void loadPluginReaders() {
    for (const char* kind : {"jpeg", "gif"}) {
        QBuffer nothing;
        QImageReader reader(&nothing, kind);
        reader.setAutoDetectImageFormat(false);
        std::ignore = reader.canRead(); // makes the reader, and so loads its plugin
    }
}

Decoded decode(int descriptor, QSize shownSize) {
    Decoded decoded;
    // What Qt and its decoder libraries say while the picture is read: the first of it is kept
    // for the game's one line about the file. libjpeg's "Corrupt JPEG data" names no file, and
    // comes on every read.
    const common::HoldQtMessages held(
        [&first = decoded.message](QtMsgType, const QMessageLogContext&, const QString& message) {
            if (first.isEmpty())
                first = message.trimmed();
        });
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFile::DontCloseHandle)) {
        decoded.message = file.errorString();
        return decoded;
    }
    const QByteArray kind = kindOf(file.peek(8));
    if (kind.isEmpty()) {
        decoded.outcome = Outcome::NotTaken;
        return decoded;
    }
    QImageReader reader(&file, kind);
    reader.setAutoDetectImageFormat(false);
    decoded.size = reader.size();
    if (decoded.size.isEmpty())
        return decoded;
    // Also at the picture's own size: a GIF's canvas may be larger than its first frame. JPEG:
    // libjpeg's DCT scaling, then a smooth finish. Whatever follows the picture is never read.
    reader.setScaledSize(shownSize.boundedTo(decoded.size).expandedTo(QSize(1, 1)));
    errno = 0;
    const QImage image = reader.read(); // a truncated file gives what could be decoded
    if (image.isNull()) {
        decoded.outcome = errno == ENOMEM ? Outcome::OutOfMemory : Outcome::Unreadable;
        if (decoded.message.isEmpty())
            decoded.message = reader.errorString();
        return decoded;
    }
    decoded.image = image.convertToFormat(
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    // libpng warns only about what it passes over, such as a colour profile it finds odd; damage
    // stops it. libjpeg's warnings are damage: grey where the data ran out or went wrong.
    const bool damaged = !decoded.message.isEmpty() && kind != "png";
    decoded.outcome = damaged ? Outcome::Damaged : Outcome::Decoded;
    if (!damaged)
        decoded.message.clear();
    return decoded;
}

} // namespace decoder
