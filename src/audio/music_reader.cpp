// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "audio/music_reader.h"

#include "files/asset_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numbers>
#include <optional>
#include <sndfile.h>
#include <unistd.h>
#include <vector>

namespace audio {
namespace {

// Samples per block read from the file when the sound has to be mixed down.
constexpr std::size_t blockSamples = 4096;
// A format chunk is tens of bytes; anything near this is damage.
constexpr sf_count_t largestFormatChunk = 65536;
// The most a round of a short sound, held in memory, takes: whatever rate a file claims. Real ones
// fall well short (200 ms at 384000 Hz in stereo floats is 600 KiB).
constexpr std::int64_t mostHeldBytes = 1 << 20;

// --- What libsndfile reads ----------------------------------------------------------------------

// The bytes libsndfile is shown: `header`, made here, then `length` bytes of the file from
// `start`. Usually the header is empty and the range is the whole file.
struct FileView {
    int descriptor = -1;
    std::string header;
    sf_count_t start = 0;
    sf_count_t length = 0;
    sf_count_t position = 0;

    sf_count_t size() const { return static_cast<sf_count_t>(header.size()) + length; }
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
        const ssize_t got = pread(view.descriptor, bytes + done, static_cast<std::size_t>(fromFile),
                                  view.start + fileOffset);
        done += std::max<ssize_t>(got, 0);
    }
    view.position += done;
    return done;
}

sf_count_t viewTell(void* userData) {
    return viewOf(userData).position;
}

// --- A data chunk before the format chunk -------------------------------------------------------

bool readAt(int descriptor, void* out, std::size_t size, sf_count_t offset) {
    return pread(descriptor, out, size, offset) == static_cast<ssize_t>(size);
}

std::uint32_t littleEndian32(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void appendLittleEndian32(std::string& out, sf_count_t value) {
    const auto clamped = static_cast<std::uint32_t>(std::min<sf_count_t>(value, 0xFFFFFFFF));
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>(clamped >> shift & 0xFF);
}

// A WAV header holding `format` as its format chunk and announcing `dataLength` bytes of data.
std::string waveHeader(const std::string& format, sf_count_t dataLength) {
    const std::size_t pad = format.size() & 1;
    std::string header = "RIFF";
    appendLittleEndian32(header,
                         static_cast<sf_count_t>(4 + 8 + format.size() + pad + 8) + dataLength);
    header += "WAVEfmt ";
    appendLittleEndian32(header, static_cast<sf_count_t>(format.size()));
    header += format;
    header.append(pad, '\0');
    header += "data";
    appendLittleEndian32(header, dataLength);
    return header;
}

// Chunk names are four printable characters; zeros where a chunk should be are what a download that
// reserved the file's size leaves.
bool isChunkName(const unsigned char* name) {
    return std::all_of(name, name + 4, [](unsigned char c) { return c >= 0x20 && c <= 0x7E; });
}

// libsndfile refuses a WAV file whose data chunk comes before its format chunk. Such a file is
// shown to it with the format chunk moved in front of the data; nothing when it is not laid out so.
// The chunk headers are read a large block at a time, and the walk ends at anything that is no
// chunk header, or at a chunk that reaches past the end of the file.
std::optional<FileView> formatFirstView(int descriptor, sf_count_t fileSize) {
    unsigned char riff[12];
    if (!readAt(descriptor, riff, sizeof riff, 0) || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0)
        return std::nullopt;
    std::vector<unsigned char> block(64 * 1024);
    sf_count_t blockStart = 0;
    sf_count_t blockEnd = 0;
    std::optional<FileView> view;
    for (sf_count_t at = sizeof riff; at <= fileSize - 8;) {
        if (at + 8 > blockEnd) {
            const ssize_t got = pread(descriptor, block.data(), block.size(), at);
            if (got < 8)
                return std::nullopt;
            blockStart = at;
            blockEnd = at + got;
        }
        const unsigned char* chunk = block.data() + (at - blockStart);
        if (!isChunkName(chunk))
            return std::nullopt;
        const sf_count_t body = at + 8;
        const sf_count_t bodySize = littleEndian32(chunk + 4);
        if (std::memcmp(chunk, "data", 4) == 0 && !view) {
            view = FileView{descriptor, {}, body, std::min(bodySize, fileSize - body)};
        } else if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (!view || bodySize > std::min(fileSize - body, largestFormatChunk))
                return std::nullopt;
            std::string format(static_cast<std::size_t>(bodySize), '\0');
            if (!readAt(descriptor, format.data(), format.size(), body))
                return std::nullopt;
            view->header = waveHeader(format, view->length);
            return view;
        }
        at = body + bodySize + (bodySize & 1);
    }
    return std::nullopt;
}

// --- Samples ------------------------------------------------------------------------------------

// Decoders whose samples are 16-bit integers or fewer: those are handed out unchanged.
bool decodesTo16Bits(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
    case SF_FORMAT_IMA_ADPCM:
    case SF_FORMAT_MS_ADPCM:
    case SF_FORMAT_GSM610:
    case SF_FORMAT_G721_32:
    case SF_FORMAT_G723_24:
    case SF_FORMAT_G723_40:
        return true;
    default:
        return false;
    }
}

enum class Side { Left, Right, Middle };

Side sideOf(int position) {
    switch (position) {
    case SF_CHANNEL_MAP_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT:
    case SF_CHANNEL_MAP_REAR_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER:
    case SF_CHANNEL_MAP_SIDE_LEFT:
    case SF_CHANNEL_MAP_TOP_FRONT_LEFT:
    case SF_CHANNEL_MAP_TOP_REAR_LEFT:
        return Side::Left;
    case SF_CHANNEL_MAP_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_REAR_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER:
    case SF_CHANNEL_MAP_SIDE_RIGHT:
    case SF_CHANNEL_MAP_TOP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_TOP_REAR_RIGHT:
        return Side::Right;
    default:
        return Side::Middle;
    }
}

// Where the channels of a WAV file sit when the file does not say: the standard speaker order.
constexpr std::array standardSpeakerOrder = {
    SF_CHANNEL_MAP_FRONT_LEFT,
    SF_CHANNEL_MAP_FRONT_RIGHT,
    SF_CHANNEL_MAP_FRONT_CENTER,
    SF_CHANNEL_MAP_LFE,
    SF_CHANNEL_MAP_REAR_LEFT,
    SF_CHANNEL_MAP_REAR_RIGHT,
    SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER,
    SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER,
    SF_CHANNEL_MAP_REAR_CENTER,
    SF_CHANNEL_MAP_SIDE_LEFT,
    SF_CHANNEL_MAP_SIDE_RIGHT,
    SF_CHANNEL_MAP_TOP_CENTER,
    SF_CHANNEL_MAP_TOP_FRONT_LEFT,
    SF_CHANNEL_MAP_TOP_FRONT_CENTER,
    SF_CHANNEL_MAP_TOP_FRONT_RIGHT,
    SF_CHANNEL_MAP_TOP_REAR_LEFT,
    SF_CHANNEL_MAP_TOP_REAR_CENTER,
    SF_CHANNEL_MAP_TOP_REAR_RIGHT,
};

using StereoGain = std::array<float, 2>;

// The left and right gain of each channel when a surround file is mixed down to stereo: a left
// channel goes left, a right one right, and one in the middle (centre, low frequencies, above)
// to both at -3 dB. All gains are scaled so that channels at full scale together stay within it.
std::vector<StereoGain> downMixGains(SNDFILE* file, int channels) {
    std::vector<int> positions(static_cast<std::size_t>(channels), SF_CHANNEL_MAP_INVALID);
    if (sf_command(file, SFC_GET_CHANNEL_MAP_INFO, positions.data(),
                   static_cast<int>(positions.size() * sizeof(int))) != SF_TRUE) {
        const std::size_t known = std::min(positions.size(), standardSpeakerOrder.size());
        std::copy_n(standardSpeakerOrder.begin(), known, positions.begin());
    }
    std::vector<StereoGain> gains;
    StereoGain sum{};
    for (const int position : positions) {
        const Side side = sideOf(position);
        const float middle = 1 / std::numbers::sqrt2_v<float>;
        const StereoGain gain = side == Side::Left    ? StereoGain{1, 0}
                                : side == Side::Right ? StereoGain{0, 1}
                                                      : StereoGain{middle, middle};
        gains.push_back(gain);
        sum[0] += gain[0];
        sum[1] += gain[1];
    }
    const float scale = 1 / std::max(sum[0], sum[1]);
    for (StereoGain& gain : gains)
        gain = {gain[0] * scale, gain[1] * scale};
    return gains;
}

} // namespace

// --- The reader ---------------------------------------------------------------------------------

// One opening of the file: libsndfile's decoder over it, and the mix-down its channels need.
struct MusicReader::Decoder {
    ~Decoder();

    std::string open(const std::string& path);
    bool openView();
    Format format() const;
    // Whole frames into `out`, in the format handed out; fewer than asked at the end of the file.
    sf_count_t read(std::byte* out, sf_count_t frames);
    sf_count_t readMixed(float* out, sf_count_t frames);

    FileView view;
    SF_VIRTUAL_IO io{viewSize, viewSeek, viewRead, nullptr, viewTell}; // read only
    SNDFILE* file = nullptr;
    SF_INFO info{};

    std::vector<StereoGain> downMix; // one per channel of the file; empty for mono and stereo
    std::vector<float> fileBlock;    // a block of the file's samples, before the mix-down
};

MusicReader::Decoder::~Decoder() {
    if (file != nullptr)
        sf_close(file);
    if (view.descriptor >= 0)
        close(view.descriptor);
}

std::string MusicReader::Decoder::open(const std::string& path) {
    files::AssetFile asset(path);
    if (!asset.isOpen())
        return asset.problem();
    view.length = asset.size();
    view.descriptor = asset.release();
    if (!openView()) {
        const std::string refusal = sf_strerror(nullptr);
        std::optional<FileView> reordered = formatFirstView(view.descriptor, view.length);
        if (!reordered)
            return refusal;
        view = std::move(*reordered);
        if (!openView())
            return refusal;
    }
    if (info.frames == 0)
        return "no sound in the file";
    if (info.channels > 2) {
        downMix = downMixGains(file, info.channels);
        fileBlock.resize(std::max<std::size_t>(blockSamples, downMix.size()));
    }
    return {};
}

bool MusicReader::Decoder::openView() {
    view.position = 0;
    info = {};
    file = sf_open_virtual(&io, SFM_READ, &info, &view);
    return file != nullptr;
}

MusicReader::Format MusicReader::Decoder::format() const {
    const bool exact = downMix.empty() && decodesTo16Bits(info.format);
    return {info.samplerate, std::min(info.channels, 2),
            exact ? SampleType::Int16 : SampleType::Float};
}

sf_count_t MusicReader::Decoder::read(std::byte* out, sf_count_t frames) {
    if (format().type == SampleType::Int16)
        return sf_readf_short(file, reinterpret_cast<short*>(out), frames);
    return readMixed(reinterpret_cast<float*>(out), frames);
}

// Frames of the file as floats, mixed down to the output's channels.
sf_count_t MusicReader::Decoder::readMixed(float* out, sf_count_t frames) {
    if (downMix.empty())
        return sf_readf_float(file, out, frames);
    const auto blockFrames = static_cast<sf_count_t>(fileBlock.size() / downMix.size());
    sf_count_t done = 0;
    while (done < frames) {
        const sf_count_t wanted = std::min(frames - done, blockFrames);
        const sf_count_t got = sf_readf_float(file, fileBlock.data(), wanted);
        const float* sample = fileBlock.data();
        for (sf_count_t frame = 0; frame < got; ++frame, ++done) {
            float left = 0;
            float right = 0;
            for (const StereoGain& gain : downMix) {
                left += gain[0] * *sample;
                right += gain[1] * *sample++;
            }
            out[2 * done] = left;
            out[2 * done + 1] = right;
        }
        if (got < wanted)
            break;
    }
    return done;
}

MusicReader::MusicReader(std::chrono::microseconds shortestRound) : shortestRound_(shortestRound) {}

MusicReader::~MusicReader() = default;

std::string MusicReader::open(const std::string& path) {
    path_ = path;
    auto decoder = std::make_unique<Decoder>();
    if (std::string problem = decoder->open(path); !problem.empty())
        return problem;
    format_ = decoder->format();
    shortestRoundFrames_ = std::min(shortestRound_.count() * format_.rate / 1'000'000,
                                    mostHeldBytes / bytesPerFrame());
    lastRoundFrames_ = decoder->info.frames;
    decoder_ = std::move(decoder);
    if (std::string problem = start(); !problem.empty()) {
        format_ = {}; // nothing half open to read from
        return problem;
    }
    return {};
}

int MusicReader::rate() const {
    return format_.rate;
}

int MusicReader::channels() const {
    return format_.channels;
}

SampleType MusicReader::sampleType() const {
    return format_.type;
}

int MusicReader::bytesPerFrame() const {
    const int sampleBytes = format_.type == SampleType::Int16 ? 2 : 4;
    return format_.channels * sampleBytes;
}

// Holds the start of the sound, up to a round's worth: all of it when it is shorter, and then it is
// repeated from memory, the file read once a round.
std::string MusicReader::start() {
    const auto frameBytes = static_cast<std::size_t>(bytesPerFrame());
    held_.resize(static_cast<std::size_t>(shortestRoundFrames_) * frameBytes);
    const sf_count_t got = decoder_->read(held_.data(), shortestRoundFrames_);
    held_.resize(static_cast<std::size_t>(got) * frameBytes);
    heldAt_ = 0;
    roundFrames_ = 0;
    atEnd_ = false;
    if (got == shortestRoundFrames_) {
        source_ = Source::Sound;
        return {};
    }
    source_ = Source::RepeatedSound;
    decoder_.reset();
    return got > 0 ? "" : "no sound in the file";
}

std::size_t MusicReader::readHeld(std::byte* out, std::size_t bytes) {
    const std::size_t count = std::min(bytes, held_.size() - heldAt_);
    std::memcpy(out, held_.data() + heldAt_, count);
    heldAt_ += count;
    return count;
}

std::size_t MusicReader::read(std::byte* out, std::size_t bytes) {
    if (format_.rate == 0)
        return 0;
    const auto frameBytes = static_cast<std::size_t>(bytesPerFrame());
    const std::size_t wanted = bytes / frameBytes * frameBytes;
    std::size_t done = 0;
    while (done < wanted && !atEnd_) {
        std::byte* at = out + done;
        const std::size_t room = wanted - done;
        const auto roundLeft = [&](std::int64_t frames) {
            return static_cast<std::size_t>(std::max<std::int64_t>(frames - roundFrames_, 0)) *
                   frameBytes;
        };
        std::size_t got = 0;
        if (heldAt_ < held_.size()) {
            got = readHeld(at, room);
        } else if (source_ == Source::Sound) {
            const auto frames = static_cast<sf_count_t>(room / frameBytes);
            got = static_cast<std::size_t>(decoder_->read(at, frames)) * frameBytes;
            atEnd_ = got < room;
        } else if (source_ == Source::RepeatedSound && roundLeft(shortestRoundFrames_) > 0) {
            heldAt_ = 0;
        } else if (source_ == Source::Silence && roundLeft(lastRoundFrames_) > 0) {
            got = std::min(room, roundLeft(lastRoundFrames_));
            std::memset(at, 0, got);
        } else {
            atEnd_ = true;
        }
        done += got;
        roundFrames_ += static_cast<std::int64_t>(got / frameBytes);
    }
    if (atEnd_ && source_ != Source::Silence)
        lastRoundFrames_ = std::max(roundFrames_, shortestRoundFrames_);
    return done;
}

bool MusicReader::atEnd() const {
    return atEnd_;
}

// The file is opened afresh rather than sought, so that every round of the loop sounds like the
// first: the MPEG decoder carries state across a seek to 0, and GSM in WAV cannot seek at all.
std::string MusicReader::rewind() {
    if (format_.rate == 0)
        return {};
    auto decoder = std::make_unique<Decoder>();
    std::string problem = decoder->open(path_);
    if (problem.empty() && decoder->format() != format_)
        problem = "another kind of sound than before";
    if (problem.empty()) {
        decoder_ = std::move(decoder);
        problem = start();
    }
    if (!problem.empty()) {
        decoder_.reset();
        held_.clear();
        heldAt_ = 0;
        roundFrames_ = 0;
        source_ = Source::Silence;
        atEnd_ = false;
    }
    return problem;
}

MusicCheck checkMusic(const std::string& path) {
    MusicReader reader;
    MusicCheck check;
    check.problem = reader.open(path);
    if (!check.problem.empty())
        return check;
    check.format =
        std::to_string(reader.rate()) + " Hz, " + (reader.channels() == 1 ? "mono" : "stereo");
    check.loops = reader.rewind().empty();
    return check;
}

} // namespace audio
