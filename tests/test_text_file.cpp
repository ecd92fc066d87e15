// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "files/text_file.h"
#include "test_files.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using test_files::writeFile;

std::vector<char32_t> codePoints(const std::string& utf8) {
    const QList<uint> ucs4 = QString::fromUtf8(utf8).toUcs4();
    return std::vector<char32_t>(ucs4.begin(), ucs4.end());
}

bool isValidUtf8(const std::string& text) {
    return QString::fromUtf8(text).toUtf8() == QByteArray::fromStdString(text);
}

struct DecodeCase {
    const char* what;
    std::string bytes;
    std::vector<char32_t> expected;
};

// Text decodes as Windows reads it. A byte-order mark names the encoding, whatever follows; without
// one, bytes that are not UTF-8 are cp932 as Windows maps it: its extension characters, the
// single bytes only Windows gives a meaning, unassigned pairs as its default character U+30FB,
// and U+FFFD for a lead byte without its trail. The cp932 cases each carry a non-UTF-8 byte (or
// are plain ASCII) so that they really go through cp932.
TEST(DecodeText, AsWindowsReadsIt) {
    const std::vector<DecodeCase> cases = {
        {"UTF-16LE with a BOM, CR LF",
         std::string("\xFF\xFE\x42\x30\x0D\x00\x0A\x00", 8),
         {0x3042, 0x0D, 0x0A}},
        {"UTF-16BE with a BOM", std::string("\xFE\xFF\x30\x42\x00\x41", 6), {0x3042, 'A'}},
        {"UTF-16LE with a BOM, a surrogate pair",
         std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6),
         {0x1F600}},
        {"UTF-8 with a BOM and one bad byte",
         "\xEF\xBB\xBF\xE3\x81\x82\xFF\xE3\x81\x84",
         {0x3042, 0xFFFD, 0x3044}},
        {"ASCII", "Az09 ~", {'A', 'z', '0', '9', ' ', '~'}},
        {"0x5C is a backslash, 0x7E a tilde", "\x5C\x7E\x82\xA0", {0x5C, 0x7E, 0x3042}},
        {"half-width katakana", "\xA1\xB1\xDF", {0xFF61, 0xFF71, 0xFF9F}},
        {"hiragana", "\x82\xD0\x82\xE7\x82\xAA\x82\xC8", {0x3072, 0x3089, 0x304C, 0x306A}},
        {"kanji", "\x8A\xBF\x8E\x9A", {0x6F22, 0x5B57}},
        {"wave dash as Windows maps it", "\x81\x60", {0xFF5E}},
        {"full-width backslash", "\x81\x5F", {0xFF3C}},
        {"NEC special character", "\x87\x40", {0x2460}},
        {"IBM extension", "\xFA\x40", {0x2170}},
        {"NEC-selected IBM extension", "\xED\x40", {0x7E8A}},
        {"user-defined area", "\xF0\x40", {0xE000}},
        {"control bytes unchanged", "\x1A\x1C\x7F\x82\xA0", {0x1A, 0x1C, 0x7F, 0x3042}},
        {"lone lead byte at the end", "A\x81", {'A', 0xFFFD}},
        {"lead byte before a line end keeps the line end", "\x81\x0A", {0xFFFD, 0x0A}},
        {"lead byte before a space keeps the space", "\x82\x20x", {0xFFFD, 0x20, 'x'}},
        {"unassigned pair is the default character",
         "\x85\x40"
         "A",
         {0x30FB, 'A'}},
        {"0x80", "\x80", {0x0080}},
        {"0xA0", "\xA0", {0xF8F0}},
        {"0xFD 0xFE 0xFF", "\xFD\xFE\xFF", {0xF8F1, 0xF8F2, 0xF8F3}},
        {"overlong UTF-8 is not UTF-8", "\xC0\xAF", {0xFF80, 0xFF6F}},
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(codePoints(files::decodeText(c.bytes)), c.expected) << c.what;
}

// Valid UTF-8 is taken as UTF-8, and a leading byte-order mark is dropped.
TEST(DecodeText, Utf8WithAndWithoutBom) {
    const std::string text = "ひとり言 ①～";
    EXPECT_EQ(files::decodeText(text), text);
    EXPECT_EQ(files::decodeText("\xEF\xBB\xBF" + text), text);
    EXPECT_EQ(files::decodeText("\xEF\xBB\xBF"), "");
    EXPECT_EQ(files::decodeText(""), "");
}

// Whatever the bytes, the result is valid UTF-8 (every pair of bytes, behind a non-UTF-8 byte).
TEST(DecodeText, AnyTwoBytesGiveValidUtf8) {
    for (int first = 0; first < 256; ++first) {
        for (int second = 0; second < 256; ++second) {
            const std::string bytes{'\xFF', char(first), char(second)};
            ASSERT_TRUE(isValidUtf8(files::decodeText(bytes))) << first << ' ' << second;
        }
    }
}

// Of only the start of a text, cut after any byte, the decode is the start of the whole text's
// decode: the encoding is told as for the whole, and a character cut in half is left out rather
// than made U+FFFD.
TEST(DecodeText, StartOfATextDecodesAsTheWhole) {
    const std::vector<std::pair<const char*, std::string>> texts = {
        {"UTF-8", "ひとり言😀\r\nb"},
        {"UTF-8 with a BOM", "\xEF\xBB\xBFひとり言😀\r\nb"},
        {"UTF-16LE with a BOM",
         std::string("\xFF\xFE\x72\x30\x3D\xD8\x00\xDE\x0D\x00\x0A\x00", 12)},
        {"UTF-16BE with a BOM",
         std::string("\xFE\xFF\x30\x72\xD8\x3D\xDE\x00\x00\x0D\x00\x0A", 12)},
        {"UTF-32LE with a BOM",
         std::string("\xFF\xFE\x00\x00\x72\x30\x00\x00\x00\xF6\x01\x00", 12)},
        {"cp932", "\x82\xD0\x82\xE7\x82\xAA\x82\xC8\x81\x60\r\nb\x82\xA0"},
    };
    for (const auto& [what, bytes] : texts) {
        const std::string whole = files::decodeText(bytes);
        for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
            const std::string start =
                files::decodeText(bytes.substr(0, cut), files::TextExtent::Start);
            EXPECT_TRUE(whole.starts_with(start)) << what << ", cut after " << cut << " bytes";
            EXPECT_EQ(start.find("\uFFFD"), std::string::npos) << what << ", cut at " << cut;
        }
    }
}

struct SplitCase {
    const char* what;
    QByteArray bytes;
    std::vector<std::string> expected;
};

// CR LF, LF and a lone CR each end a line; a last line without a line end still counts. The text
// is decoded before it is split, so a broken character keeps its line end and a mark is dropped.
TEST(LinesOf, SplitsDecodedText) {
    const std::vector<SplitCase> cases = {
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"LF", "a\nb\n", {"a", "b"}},
        {"lone CR", "a\rb\r", {"a", "b"}},
        {"mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"last line without a line end", "a\r\nb", {"a", "b"}},
        {"empty lines", "\r\n\r\na\r\n\r\n", {"", "", "a", ""}},
        {"LF then CR are two line ends", "\n\r", {"", ""}},
        {"CR then CR LF", "a\r\r\n", {"a", ""}},
        {"empty file", "", {}},
        {"only a line end", "\r\n", {""}},
        {"cp932", "\x82\xA0\r\n\x82\xA2\x82\xA4\r\n\x81", {"あ", "いう", "\uFFFD"}},
        {"cp932 lead byte before LF", "\x81\nB", {"\uFFFD", "B"}},
        {"UTF-8 with a BOM", "\xEF\xBB\xBF\xE3\x81\x82\r\nb", {"あ", "b"}},
        {"UTF-16LE with a BOM", QByteArray("\xFF\xFE\x42\x30\r\0\n\0b\0", 10), {"あ", "b"}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(files::linesOf(files::decodeText(c.bytes.toStdString())), c.expected) << c.what;
}

struct FileCase {
    const char* what;
    std::function<void(const std::string& path)> make;
    std::vector<std::string> expectedLines;
    const char* reported; // part of the one report line, or nullptr for none
};

// UTF-32LE with a byte-order mark: four bytes for every character, the most any encoding takes.
std::string utf32Lines(int count, std::size_t characters) {
    std::string line;
    for (std::size_t i = 0; i < characters; ++i)
        line += std::string("\x00\xF6\x01\x00", 4); // U+1F600
    line += std::string("\x0D\x00\x00\x00\x0A\x00\x00\x00", 8);
    std::string text("\xFF\xFE\x00\x00", 4);
    for (int i = 0; i < count; ++i)
        text += line;
    return text;
}

// Only what the lines can use is read: the first 15 lines of the longest kind in the widest
// encoding still come whole, however much follows; a file that is no regular file is not waited
// on; whatever is wrong is one report line naming the file.
TEST(ReadFirstLines, ReadsOnlyWhatTheLinesUse) {
    constexpr std::uintmax_t gibibyte = 1ull << 30;
    std::string smiles;
    for (int i = 0; i < 4096; ++i)
        smiles += "😀";
    const std::vector<FileCase> cases = {
        {"missing", [](const std::string&) {}, {}, "cannot be read (No such file or directory)"},
        {"a folder",
         [](const std::string& path) { QDir().mkpath(QString::fromStdString(path)); },
         {},
         "cannot be read (not a regular file)"},
        {"a named pipe nobody writes to",
         [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
         {},
         "cannot be read (not a regular file)"},
        {"a link to /dev/zero",
         [](const std::string& path) { ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0); },
         {},
         "cannot be read (not a regular file)"},
        {"15 longest lines in UTF-32, then a gibibyte",
         [&](const std::string& path) { writeFile(path, utf32Lines(15, 4096), gibibyte); },
         std::vector<std::string>(15, smiles), nullptr},
        {"one line of a gibibyte",
         [&](const std::string& path) { writeFile(path, "", gibibyte); },
         {std::string(4096, '\0')},
         "line 1 is longer than 4096 characters"},
        {"lines after one longer than all that is read",
         [&](const std::string& path) { writeFile(path, std::string(300000, 'a') + "\r\nb\r\n"); },
         {std::string(4096, 'a')},
         "line 1 is longer than 4096 characters"},
        {"two lines, then the end of the file",
         [](const std::string& path) { writeFile(path, "a\r\nb"); },
         {"a", "b"},
         "has only 2 of 15 lines"},
    };
    QTemporaryDir folder;
    int number = 0;
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.filePath(QString("dat%1.txt").arg(++number)).toStdString();
        c.make(path);
        testing::internal::CaptureStderr();
        const std::vector<std::string> lines = files::readFirstLines(path, 15, 4096);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(lines == c.expectedLines) << lines.size() << " lines";
        if (c.reported == nullptr) {
            EXPECT_EQ(said, "");
        } else {
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
            EXPECT_NE(said.find(path + ": " + c.reported), std::string::npos) << said;
        }
    }
}

} // namespace
