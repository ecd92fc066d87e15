// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "platform/text_file.h"

#include "platform/asset_path.h"
#include "platform/report.h"

#include <QString>
#include <QStringDecoder>
#include <array>
#include <filesystem>
#include <fstream>

namespace platform {
namespace {

// What Windows makes of a lead and trail byte that code page 932 does not assign: KATAKANA
// MIDDLE DOT, the code page's default character.
constexpr char16_t kCp932DefaultCharacter = 0x30FB;

bool isCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isCp932TrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

// The single bytes that Windows decodes otherwise than ICU's table behind Qt's "windows-31j":
// three control characters that IBM's table swaps around, and the bytes that only Windows gives
// a meaning (0x80, 0xA0, 0xFD-0xFF). Zero for the bytes where the two agree.
char16_t windowsOnlyCharacter(unsigned char byte) {
    switch (byte) {
    case 0x1A:
    case 0x1C:
    case 0x7F:
        return byte;
    case 0x80:
        return 0x0080;
    case 0xA0:
        return 0xF8F0;
    case 0xFD:
    case 0xFE:
    case 0xFF:
        return static_cast<char16_t>(0xF8F1 + (byte - 0xFD));
    default:
        return 0;
    }
}

// Decodes cp932 as Windows' MultiByteToWideChar does. Runs of whole characters go through Qt's
// decoder, a bounded piece at a time so that a large file costs little more than its text; the
// bytes where Windows differs are put in by hand. A lead byte with a proper trail byte is one
// character, an unassigned one the code page's default character U+30FB; a lead byte followed by
// anything else is bad on its own (U+FFFD), and the next byte is decoded afresh, so that a line end
// after it survives.
std::string decodeCp932(std::string_view bytes) {
    constexpr std::size_t largestRun = 64 * 1024;
    QStringDecoder decoder("windows-31j", QStringConverter::Flag::Stateless);
    std::string text;
    std::size_t runStart = 0;
    const auto decodeRun = [&](std::size_t end) {
        QString run = decoder(QByteArrayView(bytes.data() + runStart, end - runStart));
        text +=
            run.replace(QChar::ReplacementCharacter, QChar(kCp932DefaultCharacter)).toStdString();
        runStart = end;
    };
    const auto putByHand = [&](std::size_t at, char16_t character) {
        decodeRun(at);
        text += QString(QChar(character)).toStdString();
        runStart = at + 1;
    };
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (i - runStart >= largestRun)
            decodeRun(i);
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (isCp932LeadByte(byte)) {
            const bool paired =
                i + 1 < bytes.size() && isCp932TrailByte(static_cast<unsigned char>(bytes[i + 1]));
            if (!paired)
                putByHand(i, QChar::ReplacementCharacter);
            i += paired ? 2 : 1;
        } else {
            if (const char16_t character = windowsOnlyCharacter(byte))
                putByHand(i, character);
            ++i;
        }
    }
    decodeRun(bytes.size());
    return text;
}

std::optional<std::string> readAllBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::string bytes;
    std::error_code ignored;
    const auto size = std::filesystem::file_size(path, ignored);
    if (!ignored)
        bytes.reserve(size);
    std::array<char, 64 * 1024> chunk;
    while (file.read(chunk.data(), chunk.size()) || file.gcount() > 0)
        bytes.append(chunk.data(), static_cast<std::size_t>(file.gcount()));
    if (file.bad())
        return std::nullopt;
    return bytes;
}

} // namespace

std::string decodeText(std::string_view bytes) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (const auto encoding = QStringConverter::encodingForData(view)) {
        QStringDecoder decoder(*encoding, QStringConverter::Flag::Stateless); // drops the mark
        return QString(decoder(view)).toStdString();
    }
    if (view.isValidUtf8()) // strict: no overlong forms, no surrogates, nothing above U+10FFFF
        return std::string(bytes);
    return decodeCp932(bytes);
}

std::optional<TextFile> TextFile::open(const std::string& path) {
    auto bytes = readAllBytes(findFileIgnoringCase(path));
    if (!bytes)
        return std::nullopt;
    return fromBytes(*bytes);
}

TextFile TextFile::fromBytes(std::string_view bytes) {
    return TextFile(decodeText(bytes));
}

std::optional<std::string> TextFile::readLine() {
    if (position_ >= text_.size())
        return std::nullopt;
    std::size_t end = text_.find_first_of("\r\n", position_);
    if (end == std::string::npos)
        end = text_.size();
    std::string line = text_.substr(position_, end - position_);
    position_ = end;
    if (position_ < text_.size()) {
        const bool crlf = text_[position_] == '\r' && position_ + 1 < text_.size() &&
                          text_[position_ + 1] == '\n';
        position_ += crlf ? 2 : 1;
    }
    return line;
}

std::string firstCharacters(const std::string& text, std::size_t count) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == count) {
            return text.substr(0, i);
        }
    }
    return text;
}

std::vector<std::string> readFirstLines(const std::string& path, int count,
                                        std::size_t maxCharacters) {
    std::vector<std::string> lines;
    std::optional<TextFile> file = TextFile::open(path);
    if (!file) {
        reportFileProblem(path, "cannot be read; its lines stay empty");
        return lines;
    }
    while (static_cast<int>(lines.size()) < count) {
        std::optional<std::string> line = file->readLine();
        if (!line) {
            reportFileProblem(path, "has only " + std::to_string(lines.size()) + " of " +
                                        std::to_string(count) + " lines; the rest stay empty");
            break;
        }
        lines.push_back(firstCharacters(*line, maxCharacters));
        if (lines.back().size() < line->size()) {
            const std::string most = std::to_string(maxCharacters);
            reportFileProblem(path, "line " + std::to_string(lines.size()) + " is longer than " +
                                        most + " characters; only its first " + most + " are kept");
        }
    }
    return lines;
}

} // namespace platform
