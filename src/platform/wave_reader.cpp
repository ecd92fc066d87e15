#include "platform/wave_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace platform {

static_assert(std::endian::native == std::endian::little,
              "samples are copied as they lie in the file, which is little-endian");

namespace {

constexpr std::uint16_t formatPcm = 1;
constexpr std::uint16_t formatFloat = 3;
constexpr std::uint16_t formatExtensible = 0xFFFE;
constexpr int minimumRate = 8000;
constexpr int maximumRate = 192000;

// The tail that every standard sub-format GUID shares after its 2-byte tag.
constexpr std::array<std::uint8_t, 14> subFormatGuidTail = {
    0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t readU16(std::span<const std::byte> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes[at]) |
                                      std::to_integer<unsigned>(bytes[at + 1]) << 8);
}

std::uint32_t readU32(std::span<const std::byte> bytes, std::size_t at) {
    return readU16(bytes, at) | static_cast<std::uint32_t>(readU16(bytes, at + 2)) << 16;
}

bool hasTag(std::span<const std::byte> bytes, std::size_t at, const char (&tag)[5]) {
    return std::memcmp(bytes.data() + at, tag, 4) == 0;
}

bool isStandardSubFormat(std::span<const std::byte> guidTail) {
    return std::memcmp(guidTail.data(), subFormatGuidTail.data(), subFormatGuidTail.size()) == 0;
}

WaveError encodingFor(std::uint16_t tag, int bits, WaveEncoding& encoding) {
    if (tag == formatFloat) {
        encoding = WaveEncoding::Float32;
        return bits == 32 ? WaveError::None : WaveError::Unsupported;
    }
    if (tag != formatPcm)
        return WaveError::Unsupported;
    switch (bits) {
    case 8:
        encoding = WaveEncoding::UInt8;
        return WaveError::None;
    case 16:
        encoding = WaveEncoding::Int16;
        return WaveError::None;
    case 24:
        encoding = WaveEncoding::Int24;
        return WaveError::None;
    case 32:
        encoding = WaveEncoding::Int32;
        return WaveError::None;
    default:
        return WaveError::Unsupported;
    }
}

void putInt16(std::byte* out, std::int16_t value) {
    std::memcpy(out, &value, sizeof value);
}
void putFloat(std::byte* out, float value) {
    std::memcpy(out, &value, sizeof value);
}

std::int32_t int24At(const std::byte* in) {
    const auto low = std::to_integer<std::uint32_t>(in[0]) |
                     std::to_integer<std::uint32_t>(in[1]) << 8 |
                     std::to_integer<std::uint32_t>(in[2]) << 16;
    return static_cast<std::int32_t>(low << 8) >> 8;
}

std::int32_t int32At(const std::byte* in) {
    std::int32_t value;
    std::memcpy(&value, in, sizeof value);
    return value;
}

void convert(WaveEncoding encoding, const std::byte* in, std::byte* out, std::size_t samples) {
    switch (encoding) {
    case WaveEncoding::UInt8:
        for (std::size_t i = 0; i < samples; ++i)
            putInt16(out + 2 * i,
                     static_cast<std::int16_t>((std::to_integer<int>(in[i]) - 128) * 256));
        break;
    case WaveEncoding::Int16:
        std::memcpy(out, in, samples * sizeof(std::int16_t));
        break;
    case WaveEncoding::Float32:
        std::memcpy(out, in, samples * sizeof(float));
        break;
    case WaveEncoding::Int24:
        for (std::size_t i = 0; i < samples; ++i)
            putFloat(out + 4 * i, static_cast<float>(int24At(in + 3 * i)) / 8388608.0f);
        break;
    case WaveEncoding::Int32:
        for (std::size_t i = 0; i < samples; ++i)
            putFloat(out + 4 * i, static_cast<float>(int32At(in + 4 * i)) / 2147483648.0f);
        break;
    }
}

} // namespace

WaveError WaveReader::open(std::span<const std::byte> file) {
    *this = WaveReader{};
    if (file.size() < 12 || !hasTag(file, 0, "RIFF") || !hasTag(file, 8, "WAVE"))
        return WaveError::NotRiffWave;

    bool haveFormat = false;
    std::size_t offset = 12;
    while (file.size() - offset >= 8) {
        const std::size_t bodyStart = offset + 8;
        const std::size_t bodySize = readU32(file, offset + 4);
        if (bodySize > file.size() - bodyStart)
            return WaveError::Truncated;
        const auto body = file.subspan(bodyStart, bodySize);

        if (hasTag(file, offset, "data")) {
            if (!haveFormat)
                return WaveError::MissingFormat;
            const auto frameBytes = static_cast<std::size_t>(format_.bytesPerFrame);
            frameCount_ = static_cast<std::int64_t>(bodySize / frameBytes);
            if (frameCount_ == 0)
                return WaveError::NoData;
            data_ = body.first(static_cast<std::size_t>(frameCount_) * frameBytes);
            return WaveError::None;
        }
        if (hasTag(file, offset, "fmt ")) {
            if (const auto error = readFormatChunk(body); error != WaveError::None)
                return error;
            haveFormat = true;
        }
        // Chunks are padded to an even length; the last one may lack its pad byte.
        offset = std::min(file.size(), bodyStart + bodySize + (bodySize & 1));
    }
    return haveFormat ? WaveError::NoData : WaveError::MissingFormat;
}

WaveError WaveReader::readFormatChunk(std::span<const std::byte> chunk) {
    if (chunk.size() < 16)
        return WaveError::BadFormat;
    std::uint16_t tag = readU16(chunk, 0);
    const int channels = readU16(chunk, 2);
    const auto rate = readU32(chunk, 4);
    const int blockAlign = readU16(chunk, 12);
    const int bits = readU16(chunk, 14);
    if (channels == 0 || rate == 0 || bits == 0 || bits % 8 != 0)
        return WaveError::BadFormat;

    if (tag == formatExtensible) {
        if (chunk.size() < 40)
            return WaveError::BadFormat;
        if (!isStandardSubFormat(chunk.subspan(26, subFormatGuidTail.size())))
            return WaveError::Unsupported;
        tag = readU16(chunk, 24);
    }
    if (const auto error = encodingFor(tag, bits, format_.encoding); error != WaveError::None)
        return error;
    if (channels > 2 || rate < minimumRate || rate > maximumRate)
        return WaveError::Unsupported;
    if (blockAlign != channels * bits / 8)
        return WaveError::BadFormat;

    format_.channels = channels;
    format_.sampleRate = static_cast<int>(rate);
    format_.bytesPerFrame = blockAlign;
    output_ = bits <= 16 ? WaveOutput::Int16 : WaveOutput::Float32;
    return WaveError::None;
}

int WaveReader::outputBytesPerFrame() const {
    return format_.channels * (output_ == WaveOutput::Int16 ? 2 : 4);
}

void WaveReader::seek(std::int64_t frame) {
    position_ = std::clamp<std::int64_t>(frame, 0, frameCount_);
}

std::size_t WaveReader::read(std::byte* out, std::size_t outputBytes) {
    const auto outFrameBytes = static_cast<std::size_t>(outputBytesPerFrame());
    // After a refused open there is no data to copy from, not even zero bytes of it.
    if (outFrameBytes == 0 || atEnd())
        return 0;
    const auto frames = std::min<std::int64_t>(
        static_cast<std::int64_t>(outputBytes / outFrameBytes), frameCount_ - position_);
    const auto inFrameBytes = static_cast<std::size_t>(format_.bytesPerFrame);
    const std::byte* in = data_.data() + static_cast<std::size_t>(position_) * inFrameBytes;
    convert(format_.encoding, in, out, static_cast<std::size_t>(frames * format_.channels));
    position_ += frames;
    return static_cast<std::size_t>(frames) * outFrameBytes;
}

const char* describeWaveError(WaveError error) {
    switch (error) {
    case WaveError::None:
        return "no error";
    case WaveError::NotRiffWave:
        return "not a RIFF/WAVE file";
    case WaveError::Truncated:
        return "the file is truncated";
    case WaveError::MissingFormat:
        return "no format chunk before the sound data";
    case WaveError::BadFormat:
        return "the format chunk is damaged";
    case WaveError::Unsupported:
        return "unsupported sample encoding or channel count";
    case WaveError::NoData:
        return "no sound data";
    }
    return "unknown error";
}

} // namespace platform
