// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "files/text_file.h"

#include "common/report.h"
#include "files/asset_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <algorithm>

namespace files {

using common::reportFileProblem;
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
// a meaning. Zero for the bytes where the two agree.
char16_t windowsOnlyCharacter(unsigned char byte) {
    constexpr std::pair<unsigned char, char16_t> characters[] = {
        {0x1A, 0x1A},   {0x1C, 0x1C},   {0x7F, 0x7F},   {0x80, 0x80},
        {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3}};
    const auto found =
        std::ranges::find(characters, byte, &std::pair<unsigned char, char16_t>::first);
    return found == std::end(characters) ? 0 : found->second;
}

// Decodes cp932 as Windows' MultiByteToWideChar does: runs of whole characters through Qt's
// decoder, a bounded piece at a time, and by hand where Windows differs. An unassigned pair is
// U+30FB; a lead byte without a trail byte is U+FFFD alone, so that a line end after it survives. A
// lead byte at the cut end of a text's start may have lost its trail byte: it is left out.
std::string decodeCp932(std::string_view bytes, TextExtent extent) {
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
    std::size_t end = bytes.size();
    std::size_t i = 0;
    while (i < end) {
        if (i - runStart >= largestRun)
            decodeRun(i);
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (isCp932LeadByte(byte)) {
            if (i + 1 == end && extent == TextExtent::Start) {
                end = i;
                break;
            }
            const bool paired =
                i + 1 < end && isCp932TrailByte(static_cast<unsigned char>(bytes[i + 1]));
            if (!paired)
                putByHand(i, QChar::ReplacementCharacter);
            i += paired ? 2 : 1;
        } else {
            if (const char16_t character = windowsOnlyCharacter(byte))
                putByHand(i, character);
            ++i;
        }
    }
    decodeRun(end);
    return text;
}

// `bytes` without the UTF-8 character that begins at their end but is cut off there.
std::string_view withoutCutUtf8Character(std::string_view bytes) {
    for (std::size_t back = 1; back <= std::min<std::size_t>(4, bytes.size()); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: the character began further back
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? bytes.substr(0, bytes.size() - back) : bytes;
    }
    return bytes;
}

// Strict: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isUtf8(std::string_view bytes, TextExtent extent) {
    const std::string_view whole =
        extent == TextExtent::Start ? withoutCutUtf8Character(bytes) : bytes;
    return QByteArrayView(whole.data(), static_cast<qsizetype>(whole.size())).isValidUtf8();
}

// Decodes in the encoding a byte-order mark named. Of a text's start, a sequence cut off at the end
// waits in the decoder and so is left out; a UTF-16 high surrogate, which Qt hands out, is dropped.
std::string decodeMarked(QByteArrayView bytes, QStringConverter::Encoding encoding,
                         TextExtent extent) {
    const bool whole = extent == TextExtent::Whole;
    QStringDecoder decoder(encoding, whole ? QStringConverter::Flag::Stateless
                                           : QStringConverter::Flag::Default); // drops the mark
    QString text = decoder(bytes);
    if (!whole && !text.isEmpty() && text.back().isHighSurrogate())
        text.chop(1);
    return text.toStdString();
}

} // namespace

std::string decodeText(std::string_view bytes, TextExtent extent) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (const auto encoding = QStringConverter::encodingForData(view))
        return decodeMarked(view, *encoding, extent);
    if (isUtf8(bytes, extent))
        return std::string(extent == TextExtent::Start ? withoutCutUtf8Character(bytes) : bytes);
    return decodeCp932(bytes, extent);
}

std::string encodingOf(std::string_view bytes, TextExtent extent) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (const auto encoding = QStringConverter::encodingForData(view))
        return QCoreApplication::translate("TextFile", "%1 with a byte-order mark")
            .arg(QLatin1String(QStringConverter::nameForEncoding(*encoding)))
            .toStdString();
    return isUtf8(bytes, extent)
               ? "UTF-8"
               : QCoreApplication::translate("TextFile", "code page 932 (Shift-JIS)").toStdString();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", position), text.size());
        lines.push_back(text.substr(position, end - position));
        const bool crlf = text.compare(end, 2, "\r\n") == 0;
        position = end + (crlf ? 2 : 1);
    }
    return lines;
}

std::string firstCharacters(const std::string& text, std::size_t count) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == count)
            return text.substr(0, i);
    }
    return text;
}

TextStart readTextStart(const std::string& path, int count, std::size_t maxCharacters) {
    AssetFile file(path);
    if (!file.isOpen())
        return {{}, {}, file.problem()};
    // Four bytes for each character and each of a CR LF, as in UTF-32, and a byte-order mark.
    const std::size_t mostBytes = static_cast<std::size_t>(count) * (maxCharacters + 2) * 4 + 4;
    QFile reader;
    reader.open(file.descriptor(), QIODevice::ReadOnly, QFile::DontCloseHandle);
    std::string bytes = reader.read(qint64(mostBytes) + 1).toStdString();
    const bool cut = bytes.size() > mostBytes;
    bytes.resize(std::min(bytes.size(), mostBytes));
    return {bytes, cut ? TextExtent::Start : TextExtent::Whole, {}};
}

std::vector<std::string> readFirstLines(const std::string& path, int count,
                                        std::size_t maxCharacters) {
    return firstLinesOf(readTextStart(path, count, maxCharacters), path, count, maxCharacters);
}

std::vector<std::string> firstLinesOf(const TextStart& start, const std::string& path, int count,
                                      std::size_t maxCharacters) {
    if (!start.problem.empty()) {
        reportFileProblem(path, QCoreApplication::translate(
                                    "TextFile", "cannot be read (%1); its lines stay empty")
                                    .arg(QString::fromStdString(start.problem))
                                    .toStdString());
        return {};
    }
    std::vector<std::string> lines = linesOf(decodeText(start.bytes, start.extent));
    lines.resize(std::min<std::size_t>(lines.size(), count));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t length = lines[i].size();
        lines[i] = firstCharacters(lines[i], maxCharacters);
        if (lines[i].size() < length)
            reportFileProblem(path, QCoreApplication::translate(
                                        "TextFile", "line %1 is longer than %2 characters; only "
                                                    "its first %2 are kept")
                                        .arg(i + 1)
                                        .arg(maxCharacters)
                                        .toStdString());
    }
    if (lines.size() < static_cast<std::size_t>(count)) {
        const QString problem =
            start.extent == TextExtent::Start
                ? QCoreApplication::translate("TextFile",
                                              "holds only %1 of %2 lines in its first %3 bytes, "
                                              "all that is read; the rest stay empty")
                      .arg(lines.size())
                      .arg(count)
                      .arg(start.bytes.size())
                : QCoreApplication::translate("TextFile",
                                              "has only %1 of %2 lines; the rest stay empty")
                      .arg(lines.size())
                      .arg(count);
        reportFileProblem(path, problem.toStdString());
    }
    return lines;
}

} // namespace files
