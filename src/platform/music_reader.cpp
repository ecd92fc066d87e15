// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "platform/music_reader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <numbers>
#include <optional>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

// Samples per block read from the file when the sound has to be mixed down.
constexpr std::size_t blockSamples = 4096;
// A format chunk is tens of bytes; anything near this is damage.
constexpr sf_count_t largestFormatChunk = 65536;

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

// libsndfile refuses a WAV file whose data chunk comes before its format chunk. Such a file is
// shown to it with the format chunk moved in front of the data; nothing when it is not laid out so.
std::optional<FileView> formatFirstView(int descriptor, sf_count_t fileSize) {
    unsigned char riff[12];
    if (!readAt(descriptor, riff, sizeof riff, 0) || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0)
        return std::nullopt;
    std::optional<FileView> view;
    for (sf_count_t at = sizeof riff; at <= fileSize - 8;) {
        unsigned char chunk[8];
        if (!readAt(descriptor, chunk, sizeof chunk, at))
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

struct MusicReader::Decoder {
    ~Decoder();

    std::string open(const std::string& path);
    bool openView();
    sf_count_t readMixed(float* out, sf_count_t frames);
    void reopen();

    FileView view;
    SF_VIRTUAL_IO io{viewSize, viewSeek, viewRead, nullptr, viewTell}; // read only
    SNDFILE* file = nullptr;
    SF_INFO info{};
    int channels = 0;
    SampleType type = SampleType::Float;
    bool atEnd = false;

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
    view.descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (view.descriptor < 0)
        return std::strerror(errno);
    struct stat status {};
    if (fstat(view.descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        return "not a regular file";
    view.length = status.st_size;
    if (!openView()) {
        const std::string refusal = sf_strerror(nullptr);
        std::optional<FileView> reordered = formatFirstView(view.descriptor, status.st_size);
        if (!reordered)
            return refusal;
        view = std::move(*reordered);
        if (!openView())
            return refusal;
    }
    if (info.frames == 0)
        return "no sound in the file";

    channels = std::min(info.channels, 2);
    if (info.channels > 2) {
        downMix = downMixGains(file, info.channels);
        fileBlock.resize(std::max<std::size_t>(blockSamples, downMix.size()));
    }
    type = downMix.empty() && decodesTo16Bits(info.format) ? SampleType::Int16 : SampleType::Float;
    return {};
}

bool MusicReader::Decoder::openView() {
    if (file != nullptr)
        sf_close(file);
    view.position = 0;
    info = {};
    file = sf_open_virtual(&io, SFM_READ, &info, &view);
    return file != nullptr;
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

// Opens the file again; a file changed on disk into another kind of sound is not read on.
void MusicReader::Decoder::reopen() {
    const SF_INFO before = info;
    const bool sameSound = openView() && info.channels == before.channels &&
                           info.samplerate == before.samplerate && info.format == before.format;
    if (!sameSound && file != nullptr) {
        sf_close(file);
        file = nullptr;
    }
}

MusicReader::MusicReader() : decoder_(std::make_unique<Decoder>()) {}

MusicReader::~MusicReader() = default;

std::string MusicReader::open(const std::string& path) {
    decoder_ = std::make_unique<Decoder>();
    std::string problem = decoder_->open(path);
    if (!problem.empty())
        decoder_ = std::make_unique<Decoder>(); // nothing half open to read from
    return problem;
}

int MusicReader::rate() const {
    return decoder_->info.samplerate;
}

int MusicReader::channels() const {
    return decoder_->channels;
}

SampleType MusicReader::sampleType() const {
    return decoder_->type;
}

int MusicReader::bytesPerFrame() const {
    const int sampleBytes = decoder_->type == SampleType::Int16 ? 2 : 4;
    return decoder_->channels * sampleBytes;
}

std::size_t MusicReader::read(std::byte* out, std::size_t bytes) {
    Decoder& decoder = *decoder_;
    if (decoder.file == nullptr || decoder.atEnd)
        return 0;
    const auto frameBytes = static_cast<std::size_t>(bytesPerFrame());
    const auto frames = static_cast<sf_count_t>(bytes / frameBytes);
    const sf_count_t done =
        decoder.type == SampleType::Int16
            ? sf_readf_short(decoder.file, reinterpret_cast<short*>(out), frames)
            : decoder.readMixed(reinterpret_cast<float*>(out), frames);
    decoder.atEnd = done < frames;
    return static_cast<std::size_t>(done) * frameBytes;
}

bool MusicReader::atEnd() const {
    return decoder_->atEnd;
}

// The start is read with a decoder opened afresh, so that every round of the loop sounds like the
// first: the MPEG decoder carries state across a seek to 0, and GSM in WAV cannot seek at all.
void MusicReader::rewind() {
    Decoder& decoder = *decoder_;
    if (decoder.file == nullptr)
        return;
    decoder.reopen();
    decoder.atEnd = false;
}

} // namespace platform
