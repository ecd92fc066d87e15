// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "audio/music_reader.h"

#include "files/asset_file.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <pulse/sample.h>
#include <sndfile.hh>
#include <string_view>
#include <unistd.h>
#include <utility>

namespace audio {
namespace {

// A format chunk is tens of bytes; anything near this is damage.
constexpr std::size_t largestFormatChunk = 65536;
// The most a round of a short sound, held in memory, takes: whatever rate a file claims. Real ones
// fall well short (200 ms at 384000 Hz in stereo floats is 600 KiB).
constexpr std::int64_t mostHeldBytes = 1 << 20;
// A WAV file holds a handful of chunks; thousands are damage, or worse.
constexpr int mostChunks = 1000;

// --- What libsndfile reads ----------------------------------------------------------------------

// The bytes libsndfile is shown: `header`, made here, then `length` bytes of the file from
// `start`. Unless the file is a WAV file, the header is empty and the range is the whole file.
struct FileView {
    explicit FileView(const std::string& path) : file(path), length(file.size()) {}

    sf_count_t size() const { return static_cast<sf_count_t>(header.size()) + length; }

    files::AssetFile file;
    std::string header;
    sf_count_t start = 0;
    sf_count_t length;
    sf_count_t position = 0;
};

FileView& viewOf(void* userData) {
    return *static_cast<FileView*>(userData);
}

sf_count_t viewSize(void* userData) {
    return viewOf(userData).size();
}

sf_count_t viewSeek(sf_count_t offset, int whence, void* userData) {
    FileView& view = viewOf(userData);
    const sf_count_t base = whence == SEEK_CUR   ? view.position
                            : whence == SEEK_END ? view.size()
                                                 : 0;
    sf_count_t target = 0;
    if (__builtin_add_overflow(base, offset, &target) || target < 0)
        return -1;
    view.position = target;
    return target;
}

sf_count_t viewRead(void* out, sf_count_t count, void* userData) {
    FileView& view = viewOf(userData);
    auto* bytes = static_cast<char*>(out);
    const auto headerSize = static_cast<sf_count_t>(view.header.size());
    sf_count_t done = 0;
    if (view.position < headerSize) {
        done = std::min(count, headerSize - view.position);
        std::memcpy(bytes, view.header.data() + view.position, static_cast<std::size_t>(done));
    }
    const sf_count_t fileOffset = view.position + done - headerSize;
    const sf_count_t fromFile = std::min(count - done, view.length - fileOffset);
    if (fromFile > 0) {
        const ssize_t got = pread(view.file.descriptor(), bytes + done,
                                  static_cast<std::size_t>(fromFile), view.start + fileOffset);
        done += std::max<ssize_t>(got, 0);
    }
    view.position += done;
    return done;
}

sf_count_t viewTell(void* userData) {
    return viewOf(userData).position;
}

// --- WAV files: the format and the data alone ---------------------------------------------------

bool readAt(int descriptor, void* out, std::size_t size, sf_count_t offset) {
    return pread(descriptor, out, size, offset) == static_cast<ssize_t>(size);
}

// The unsigned number in the `count` bytes at `bytes`.
std::uint64_t numberAt(const unsigned char* bytes, int count, bool bigEndian) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[bigEndian ? i : count - 1 - i];
    return value;
}

void appendNumber32(std::string& out, std::uint64_t value, bool bigEndian) {
    const auto clamped = static_cast<std::uint32_t>(std::min<std::uint64_t>(value, 0xFFFFFFFF));
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(clamped >> (bigEndian ? 24 - 8 * i : 8 * i) & 0xFF);
}

// A WAV header holding `format` as its format chunk and announcing `dataLength` bytes of data.
std::string waveHeader(const std::string& format, std::uint64_t dataLength, bool bigEndian) {
    const std::size_t pad = format.size() & 1;
    std::string header = bigEndian ? "RIFX" : "RIFF";
    appendNumber32(header, 4 + 8 + format.size() + pad + 8 + dataLength, bigEndian);
    header += "WAVEfmt ";
    appendNumber32(header, format.size(), bigEndian);
    header += format;
    header.append(pad, '\0');
    header += "data";
    appendNumber32(header, dataLength, bigEndian);
    return header;
}

// Chunk names are four printable characters; zeros where a chunk should be are what a download that
// reserved the file's size leaves.
bool isChunkName(const unsigned char* name) {
    return std::all_of(
        name, name + 4, [](unsigned char c) { return c >= 0x20 && c <= 0x7E; });
}

// libsndfile can spin for ever in its parsers of a WAV file's other chunks (a damaged LIST chunk
// does it), and refuses a data chunk that comes before the format chunk. So a WAV file (RIFF, its
// big-endian RIFX, or RF64 with 64-bit sizes) is shown to it as a header made here, holding the
// file's format chunk, followed by the file's data. The walk through the chunks ends at anything
// that is no chunk header, at a chunk that reaches past the end of the file, or after more chunks
// than a WAV file holds. Returns why the file cannot be played; empty also for a file of another
// kind, which is shown as it is.
std::string showFormatAndDataOnly(FileView& view) {
    const int descriptor = view.file.descriptor();
    const sf_count_t fileSize = view.length;
    unsigned char riff[12];
    if (!readAt(descriptor, riff, sizeof riff, 0) || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return {};
    const std::string_view form(reinterpret_cast<const char*>(riff), 4);
    if (form != "RIFF" && form != "RIFX" && form != "RF64")
        return {};
    const bool bigEndian = form == "RIFX";
    std::optional<std::string> format;
    std::optional<std::pair<sf_count_t, std::uint64_t>> data; // where it starts, how long it is
    std::uint64_t longDataLength = 0;                         // RF64's
    bool afterOddChunk = false;
    sf_count_t at = sizeof riff;
    for (int chunks = 0; chunks < mostChunks && !(format && data) && at <= fileSize - 8; ++chunks) {
        unsigned char chunk[8 + 16];
        if (!readAt(descriptor, chunk, 8, at))
            break;
        if (!isChunkName(chunk) && std::exchange(afterOddChunk, false)) {
            at -= 1; // a writer that left out the pad byte after a chunk of odd length
            continue;
        }
        if (!isChunkName(chunk))
            break;
        const std::string_view name(reinterpret_cast<const char*>(chunk), 4);
        const sf_count_t body = at + 8;
        std::uint64_t length = numberAt(chunk + 4, 4, bigEndian);
        if (name == "ds64" && length >= 16 && readAt(descriptor, chunk + 8, 16, body))
            longDataLength = numberAt(chunk + 16, 8, false);
        if (name == "fmt " && !format) {
            format.emplace(std::min<std::uint64_t>(length, largestFormatChunk), '\0');
            if (length > format->size() ||
                !readAt(descriptor, format->data(), format->size(), body))
                return "a damaged format chunk";
        } else if (name == "data" && !data) {
            if (length == 0xFFFFFFFF && longDataLength > 0)
                length = longDataLength;
            data.emplace(body, std::min<std::uint64_t>(length, fileSize - body));
        }
        afterOddChunk = length & 1;
        at = body +
             static_cast<sf_count_t>(std::min<std::uint64_t>(length + (length & 1), fileSize));
    }
    if (!format)
        return "no format chunk in the WAV file";
    if (!data)
        return "no data chunk in the WAV file";
    view.header = waveHeader(*format, data->second, bigEndian);
    view.start = data->first;
    view.length = static_cast<sf_count_t>(std::min<std::uint64_t>(data->second, 0xFFFFFFFF));
    return {};
}

// libsndfile's name for a container or an encoding, without what it adds in brackets.
std::string formatName(int format) {
    SF_FORMAT_INFO info{format, nullptr, nullptr};
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || info.name == nullptr)
        return "unknown";
    const std::string_view name = info.name;
    return std::string(name.substr(0, name.find(" (")));
}

std::string describe(const SndfileHandle& file) {
    const int channels = file.channels();
    return formatName(file.format() & SF_FORMAT_TYPEMASK) + ", " +
           formatName(file.format() & SF_FORMAT_SUBMASK) + ", " +
           std::to_string(file.samplerate()) + " Hz, " +
           (channels == 1   ? "mono"
            : channels == 2 ? "stereo"
                            : std::to_string(channels) + " channels");
}

} // namespace

// --- One opening of the file --------------------------------------------------------------------

// libsndfile's decoder over the file, or why the file cannot be played.
struct MusicReader::Decoder {
    explicit Decoder(const std::string& path);

    FileView view;
    SF_VIRTUAL_IO io{viewSize, viewSeek, viewRead, nullptr, viewTell}; // read only
    SndfileHandle file;
    std::string problem; // empty when the file can be played
};

MusicReader::Decoder::Decoder(const std::string& path) : view(path) {
    problem = view.file.isOpen() ? showFormatAndDataOnly(view) : view.file.problem();
    if (!problem.empty())
        return;
    file = SndfileHandle(io, &view);
    if (file.rawHandle() == nullptr)
        problem = file.strError();
    else if (file.frames() == 0)
        problem = "no sound in the file";
    else if (file.samplerate() > static_cast<int>(PA_RATE_MAX)) // what the sound server takes
        problem = std::to_string(file.samplerate()) + " samples a second, more than the " +
                  std::to_string(PA_RATE_MAX) + " the sound server takes";
    else if (file.channels() > static_cast<int>(PA_CHANNELS_MAX))
        problem = std::to_string(file.channels()) + " channels, more than the " +
                  std::to_string(PA_CHANNELS_MAX) + " the sound server takes";
}

// --- The reader ---------------------------------------------------------------------------------

MusicReader::MusicReader(std::chrono::microseconds shortestRound) : shortestRound_(shortestRound) {}

MusicReader::~MusicReader() = default;

std::string MusicReader::open(const std::string& path) {
    path_ = path;
    auto decoder = std::make_unique<Decoder>(path);
    if (!decoder->problem.empty())
        return decoder->problem;
    rate_ = decoder->file.samplerate();
    channels_ = decoder->file.channels();
    description_ = describe(decoder->file);
    shortestRoundFrames_ =
        std::min(shortestRound_.count() * rate_ / 1'000'000, mostHeldBytes / bytesPerFrame());
    std::string problem = start(std::move(decoder));
    if (!problem.empty())
        rate_ = channels_ = 0; // nothing half open to read from
    return problem;
}

// Holds the start of the sound, up to a round's worth (a frame at least): all of it when it is
// shorter, and then it is repeated from memory and the file is not read again in this round.
std::string MusicReader::start(std::unique_ptr<Decoder> decoder) {
    const auto frames = std::max<std::int64_t>(shortestRoundFrames_, 1);
    held_.assign(static_cast<std::size_t>(frames * bytesPerFrame()), std::byte{0});
    const sf_count_t got = decoder
                               ? decoder->file.readf(reinterpret_cast<float*>(held_.data()), frames)
                               : frames; // or silence
    held_.resize(static_cast<std::size_t>(got * bytesPerFrame()));
    decoder_ = got == frames ? std::move(decoder) : nullptr;
    heldAt_ = 0;
    roundFrames_ = 0;
    atEnd_ = false;
    return got > 0 ? "" : "no sound in the file";
}

std::size_t MusicReader::read(std::byte* out, std::size_t bytes) {
    if (rate_ == 0)
        return 0;
    const auto frameBytes = static_cast<std::size_t>(bytesPerFrame());
    const std::size_t wanted = bytes / frameBytes * frameBytes;
    std::size_t done = 0;
    while (done < wanted && !atEnd_) {
        std::size_t got = 0;
        if (heldAt_ < held_.size()) {
            got = std::min(wanted - done, held_.size() - heldAt_);
            std::memcpy(out + done, held_.data() + heldAt_, got);
            heldAt_ += got;
        } else if (decoder_) {
            const auto frames = static_cast<sf_count_t>((wanted - done) / frameBytes);
            got = static_cast<std::size_t>(
                      decoder_->file.readf(reinterpret_cast<float*>(out + done), frames)) *
                  frameBytes;
            atEnd_ = got < wanted - done;
        } else if (roundFrames_ < shortestRoundFrames_) {
            heldAt_ = 0; // a short sound, once more
        } else {
            atEnd_ = true;
        }
        done += got;
        roundFrames_ += static_cast<std::int64_t>(got / frameBytes);
    }
    return done;
}

// The file is opened afresh rather than sought, so that every round of the loop sounds like the
// first: the MPEG decoder carries state across a seek to 0, and GSM in WAV cannot seek at all.
std::string MusicReader::rewind() {
    if (rate_ == 0)
        return {};
    auto decoder = std::make_unique<Decoder>(path_);
    std::string problem = decoder->problem;
    if (problem.empty() &&
        (decoder->file.samplerate() != rate_ || decoder->file.channels() != channels_))
        problem = "another kind of sound than before";
    if (problem.empty())
        problem = start(std::move(decoder));
    if (!problem.empty())
        start(nullptr);
    return problem;
}

MusicCheck checkMusic(const std::string& path) {
    MusicReader reader;
    MusicCheck check;
    check.problem = reader.open(path);
    if (!check.problem.empty())
        return check;
    check.format = reader.description();
    std::vector<std::byte> block(64 * 1024);
    std::int64_t bytes = 0;
    while (!reader.atEnd())
        bytes += static_cast<std::int64_t>(reader.read(block.data(), block.size()));
    check.seconds = static_cast<double>(bytes / reader.bytesPerFrame()) / reader.rate();
    check.loops = reader.rewind().empty();
    return check;
}

} // namespace audio
