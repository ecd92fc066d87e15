#include "platform/text_file.h"

#include "platform/asset_path.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <vector>

namespace platform {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr char32_t kReplacementCharacter = 0xFFFD;

bool isContinuationByte(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char secondMin = 0x80;
        unsigned char secondMax = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                secondMin = 0xA0; // overlong
            if (lead == 0xED)
                secondMax = 0x9F; // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                secondMin = 0x90; // overlong
            if (lead == 0xF4)
                secondMax = 0x8F; // above U+10FFFF
        } else {
            return false;
        }
        if (bytes.size() - i < length)
            return false;
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        if (second < secondMin || second > secondMax)
            return false;
        for (std::size_t k = 2; k < length; ++k) {
            if (!isContinuationByte(static_cast<unsigned char>(bytes[i + k])))
                return false;
        }
        i += length;
    }
    return true;
}

bool isCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isCp932TrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

std::size_t utf8Length(char32_t codePoint) {
    return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
}

char* writeUtf8(char* out, char32_t codePoint) {
    if (codePoint < 0x80) {
        *out++ = char(codePoint);
    } else if (codePoint < 0x800) {
        *out++ = char(0xC0 | (codePoint >> 6));
        *out++ = char(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        *out++ = char(0xE0 | (codePoint >> 12));
        *out++ = char(0x80 | ((codePoint >> 6) & 0x3F));
        *out++ = char(0x80 | (codePoint & 0x3F));
    } else {
        *out++ = char(0xF0 | (codePoint >> 18));
        *out++ = char(0x80 | ((codePoint >> 12) & 0x3F));
        *out++ = char(0x80 | ((codePoint >> 6) & 0x3F));
        *out++ = char(0x80 | (codePoint & 0x3F));
    }
    return out;
}

// What glibc's CP932 gives for every single byte and every lead/trail pair, asked once. glibc's
// table is the Windows one: NEC and IBM extensions, 0x5C as backslash, 0x8160 as U+FF5E. Where
// glibc has no mapping -- the single bytes 0x80, 0xA0 and 0xFD to 0xFF (which only Windows'
// best-fit table gives a meaning), and unassigned pairs -- the table holds U+FFFD. Asking per
// character once beats running iconv over the text: every bad byte would stop it.
class Cp932Table {
public:
    static const Cp932Table& instance() {
        static const Cp932Table table;
        return table;
    }

    char32_t single(unsigned char byte) const { return characters_[byte]; }
    char32_t pair(unsigned char lead, unsigned char trail) const {
        return characters_[(lead << 8) | trail];
    }

private:
    Cp932Table() : characters_(0x10000, kReplacementCharacter) {
        const iconv_t converter = iconv_open("WCHAR_T", "CP932");
        if (converter == reinterpret_cast<iconv_t>(-1))
            return; // no gconv modules: only ASCII will decode
        for (int byte = 0x80; byte <= 0xFF; ++byte)
            characters_[byte] = decodeOne(converter, std::string{char(byte)});
        for (int lead = 0x80; lead <= 0xFF; ++lead) {
            for (int trail = 0; trail <= 0xFF; ++trail) {
                if (isCp932LeadByte(lead) && isCp932TrailByte(trail))
                    characters_[(lead << 8) | trail] =
                        decodeOne(converter, std::string{char(lead), char(trail)});
            }
        }
        iconv_close(converter);
    }

    // The one character that `bytes` stand for, or U+FFFD.
    static char32_t decodeOne(iconv_t converter, const std::string& bytes) {
        char* in = const_cast<char*>(bytes.data()); // iconv's signature; it does not write
        std::size_t inLeft = bytes.size();
        wchar_t character = 0;
        char* out = reinterpret_cast<char*>(&character);
        std::size_t outLeft = sizeof character;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        const bool decoded =
            iconv(converter, &in, &inLeft, &out, &outLeft) == 0 && inLeft == 0 && outLeft == 0;
        return decoded ? char32_t(character) : kReplacementCharacter;
    }

    std::vector<char32_t> characters_; // indexed by the byte, or by lead * 256 + trail
};

// Calls `use` with each character of cp932 `bytes`. Like Windows, a lead byte with a proper
// trail byte is one character (U+FFFD if unassigned); a lead byte followed by anything else is bad
// on its own, and the next byte is decoded afresh (so a line end after it survives).
template <typename Use> void forEachCp932Character(std::string_view bytes, Use use) {
    const Cp932Table& table = Cp932Table::instance();
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const auto next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        if (byte < 0x80) {
            use(char32_t(byte));
            ++i;
        } else if (!isCp932LeadByte(byte)) {
            use(table.single(byte));
            ++i;
        } else if (isCp932TrailByte(next)) {
            use(table.pair(byte, next));
            i += 2;
        } else {
            use(kReplacementCharacter);
            ++i;
        }
    }
}

// Two passes, measuring then writing, so that a large file costs no more than its text.
std::string decodeCp932(std::string_view bytes) {
    std::size_t length = 0;
    forEachCp932Character(bytes, [&](char32_t codePoint) { length += utf8Length(codePoint); });
    std::string text(length, '\0');
    char* out = text.data();
    forEachCp932Character(bytes, [&](char32_t codePoint) { out = writeUtf8(out, codePoint); });
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
    if (isValidUtf8(bytes)) {
        if (bytes.starts_with(kUtf8Bom))
            bytes.remove_prefix(kUtf8Bom.size());
        return std::string(bytes);
    }
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

} // namespace platform
