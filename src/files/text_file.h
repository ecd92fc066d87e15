// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace files {

// Whether bytes are a whole text or only its start, cut off at any byte.
enum class TextExtent { Whole, Start };

// Decodes a text file's bytes to UTF-8, as Windows editors save them: a byte-order mark names the
// encoding and is dropped, bad sequences become U+FFFD; without one, valid UTF-8 is UTF-8 and else
// code page 932 (Shift-JIS with Windows' extensions), decoded as Windows does. Of a text's start,
// a character cut off at the end is left out, and the encoding is told as for the whole.
std::string decodeText(std::string_view bytes, TextExtent extent = TextExtent::Whole);

// The encoding decodeText reads `bytes` in, named for the player, e.g. "code page 932
// (Shift-JIS)" or "UTF-16LE with a byte-order mark".
std::string encodingOf(std::string_view bytes, TextExtent extent = TextExtent::Whole);

// The first `count` characters of UTF-8 `text`, cut between whole characters.
std::string firstCharacters(const std::string& text, std::size_t count);

// The lines of `text` without their line ends. CR LF, LF and a lone CR each end a line; a last
// line without a line end counts too.
std::vector<std::string> linesOf(const std::string& text);

// The start of the text file at `path` that its first `count` lines of at most `maxCharacters`
// characters can fill in any encoding: all that is read of it.
struct TextStart {
    std::string bytes;
    TextExtent extent = TextExtent::Whole; // Start when the file goes on
    std::string problem;                   // why it cannot be read; empty when it was
};
TextStart readTextStart(const std::string& path, int count, std::size_t maxCharacters);

// The first `count` lines of the text file at `path`, each cut to its first `maxCharacters`
// characters; lines beyond what readTextStart reads count as missing. What is wrong with the file
// is reported once per file and run.
std::vector<std::string> readFirstLines(const std::string& path, int count,
                                        std::size_t maxCharacters);
// The same, of a start already read from the file at `path`.
std::vector<std::string> firstLinesOf(const TextStart& start, const std::string& path, int count,
                                      std::size_t maxCharacters);

} // namespace files
