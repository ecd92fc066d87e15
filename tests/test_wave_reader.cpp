#include "platform/wave_reader.h"
#include "wave_bytes.h"

#include <cstring>
#include <gtest/gtest.h>
#include <span>

using platform::WaveEncoding;
using platform::WaveError;
using platform::WaveOutput;
using platform::WaveReader;
using namespace wave_bytes;

namespace {

std::span<const std::byte> asSpan(const Bytes& bytes) {
    return std::as_bytes(std::span(bytes));
}

template <typename Sample> std::vector<Sample> readAll(WaveReader& reader) {
    std::vector<Sample> samples(
        static_cast<std::size_t>(reader.frameCount() * reader.format().channels));
    const auto bytes =
        reader.read(reinterpret_cast<std::byte*>(samples.data()), samples.size() * sizeof(Sample));
    samples.resize(bytes / sizeof(Sample));
    return samples;
}

} // namespace

// 8-bit unsigned samples come out as 16-bit signed, centred on zero.
TEST(WaveReaderDecoding, EightBitUnsignedBecomesSixteenBitSigned) {
    const Bytes file = riff({{"fmt ", formatBody(1, 1, 8000, 8)}, {"data", {0, 128, 255}}});
    WaveReader reader;
    ASSERT_EQ(reader.open(asSpan(file)), WaveError::None);
    EXPECT_EQ(reader.format().encoding, WaveEncoding::UInt8);
    EXPECT_EQ(reader.output(), WaveOutput::Int16);
    EXPECT_EQ(readAll<std::int16_t>(reader), (std::vector<std::int16_t>{-32768, 0, 32512}));
}

// 16-bit stereo is handed over bit for bit, frame by frame.
TEST(WaveReaderDecoding, SixteenBitStereoIsExact) {
    const Bytes file = simpleWave(2, 44100, pcm16({-32768, 32767, 1, -1}));
    WaveReader reader;
    ASSERT_EQ(reader.open(asSpan(file)), WaveError::None);
    EXPECT_EQ(reader.format().channels, 2);
    EXPECT_EQ(reader.format().sampleRate, 44100);
    EXPECT_EQ(reader.frameCount(), 2);
    EXPECT_EQ(readAll<std::int16_t>(reader), (std::vector<std::int16_t>{-32768, 32767, 1, -1}));
}

// 24-bit samples are sign-extended and scaled to floats in [-1, 1).
TEST(WaveReaderDecoding, TwentyFourBitBecomesFloat) {
    const Bytes file = riff({{"fmt ", formatBody(1, 1, 48000, 24)},
                             {"data", {0x00, 0x00, 0x80, 0x00, 0x00, 0x40, 0xFF, 0xFF, 0xFF}}});
    WaveReader reader;
    ASSERT_EQ(reader.open(asSpan(file)), WaveError::None);
    EXPECT_EQ(reader.output(), WaveOutput::Float32);
    EXPECT_EQ(readAll<float>(reader), (std::vector<float>{-1.0f, 0.5f, -1.0f / 8388608.0f}));
}

// 32-bit integer samples are scaled to floats in [-1, 1).
TEST(WaveReaderDecoding, ThirtyTwoBitIntegerBecomesFloat) {
    Bytes data;
    putU32(data, 0x80000000u);
    putU32(data, 0x40000000u);
    const Bytes file = riff({{"fmt ", formatBody(1, 1, 22050, 32)}, {"data", data}});
    WaveReader reader;
    ASSERT_EQ(reader.open(asSpan(file)), WaveError::None);
    EXPECT_EQ(readAll<float>(reader), (std::vector<float>{-1.0f, 0.5f}));
}

// Float samples pass through unchanged.
TEST(WaveReaderDecoding, FloatPassesThrough) {
    const float values[] = {0.25f, -0.75f};
    Bytes data(sizeof values);
    std::memcpy(data.data(), values, sizeof values);
    const Bytes file = riff({{"fmt ", formatBody(3, 2, 96000, 32)}, {"data", data}});
    WaveReader reader;
    ASSERT_EQ(reader.open(asSpan(file)), WaveError::None);
    EXPECT_EQ(reader.format().encoding, WaveEncoding::Float32);
    EXPECT_EQ(readAll<float>(reader), (std::vector<float>{0.25f, -0.75f}));
}

// WAVE_FORMAT_EXTENSIBLE is read through its sub-format, PCM or float.
TEST(WaveReaderDecoding, ExtensibleUsesItsSubFormat) {
    WaveReader reader;
    const Bytes pcm =
        riff({{"fmt ", extensibleFormatBody(1, 2, 44100, 16)}, {"data", pcm16({100, -100})}});
    ASSERT_EQ(reader.open(asSpan(pcm)), WaveError::None);
    EXPECT_EQ(reader.format().encoding, WaveEncoding::Int16);
    EXPECT_EQ(readAll<std::int16_t>(reader), (std::vector<std::int16_t>{100, -100}));

    Bytes data(4);
    const float half = 0.5f;
    std::memcpy(data.data(), &half, 4);
    const Bytes ieee = riff({{"fmt ", extensibleFormatBody(3, 1, 44100, 32)}, {"data", data}});
    ASSERT_EQ(reader.open(asSpan(ieee)), WaveError::None);
    EXPECT_EQ(reader.format().encoding, WaveEncoding::Float32);
    EXPECT_EQ(readAll<float>(reader), (std::vector<float>{0.5f}));
}

// Unknown chunks, odd-sized ones with their pad byte included, are skipped.
TEST(WaveReaderLayout, SkipsOtherChunks) {
    const Bytes file = riff({{"LIST", {1, 2, 3}},
                             {"fmt ", formatBody(1, 1, 8000, 16)},
                             {"fact", {0, 0, 0, 0}},
                             {"data", pcm16({7, 8})}});
    WaveReader reader;
    ASSERT_EQ(reader.open(asSpan(file)), WaveError::None);
    EXPECT_EQ(readAll<std::int16_t>(reader), (std::vector<std::int16_t>{7, 8}));
}

// A trailing partial frame is dropped rather than read past.
TEST(WaveReaderLayout, IgnoresPartialLastFrame) {
    Bytes data = pcm16({1, 2, 3});
    data.pop_back();
    const Bytes file = riff({{"fmt ", formatBody(1, 2, 8000, 16)}, {"data", data}});
    WaveReader reader;
    ASSERT_EQ(reader.open(asSpan(file)), WaveError::None);
    EXPECT_EQ(reader.frameCount(), 1);
}

// Reads hand over whole frames only, stop at the end, and seek(0) rewinds.
TEST(WaveReaderPosition, ReadsWholeFramesAndRewinds) {
    const Bytes file = simpleWave(2, 8000, pcm16({1, 2, 3, 4, 5, 6}));
    WaveReader reader;
    ASSERT_EQ(reader.open(asSpan(file)), WaveError::None);
    std::int16_t out[8] = {};
    EXPECT_EQ(reader.read(reinterpret_cast<std::byte*>(out), 7), 4u);
    EXPECT_EQ(out[1], 2);
    EXPECT_EQ(reader.read(reinterpret_cast<std::byte*>(out), sizeof out), 8u);
    EXPECT_EQ(out[3], 6);
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.read(reinterpret_cast<std::byte*>(out), sizeof out), 0u);

    reader.seek(0);
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.read(reinterpret_cast<std::byte*>(out), 4), 4u);
    EXPECT_EQ(out[0], 1);
    reader.seek(1000);
    EXPECT_EQ(reader.position(), 3);
}

struct Malformed {
    const char* name;
    Bytes file;
    WaveError expected;
};

class WaveReaderMalformed : public testing::TestWithParam<Malformed> {};

// A damaged or unsupported header is refused with its reason, and nothing can be read.
TEST_P(WaveReaderMalformed, IsRefused) {
    WaveReader reader;
    EXPECT_EQ(reader.open(asSpan(GetParam().file)), GetParam().expected);
    std::byte out[16];
    EXPECT_EQ(reader.read(out, sizeof out), 0u);
}

Bytes withFormatField(std::size_t offset, std::uint32_t value, unsigned width) {
    Bytes body = formatBody(1, 2, 44100, 16);
    for (unsigned i = 0; i < width; ++i)
        body[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return riff({{"fmt ", body}, {"data", pcm16({1, 2})}});
}

Bytes withForeignSubFormat() {
    Bytes body = extensibleFormatBody(1, 2, 44100, 16);
    body.back() = 0x00;
    return riff({{"fmt ", body}, {"data", pcm16({1, 2})}});
}

Bytes cutShort(Bytes file, std::size_t bytes) {
    file.resize(file.size() - bytes);
    return file;
}

const Bytes good = simpleWave(2, 44100, pcm16({1, 2, 3, 4}));

INSTANTIATE_TEST_SUITE_P(
    Headers, WaveReaderMalformed,
    testing::Values(
        Malformed{"Empty", {}, WaveError::NotRiffWave},
        Malformed{"HeaderOnly", {'R', 'I', 'F', 'F', 4, 0, 0, 0}, WaveError::NotRiffWave},
        Malformed{"NotWave", riff({{"fmt ", formatBody(1, 1, 8000, 16)}}, "AVI "),
                  WaveError::NotRiffWave},
        Malformed{"TextFile",
                  {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'},
                  WaveError::NotRiffWave},
        Malformed{"TruncatedData", cutShort(good, 2), WaveError::Truncated},
        Malformed{"DataLargerThanFile",
                  riff({{"fmt ", formatBody(1, 1, 8000, 16)}, {"data", pcm16({1}), 100000}}),
                  WaveError::Truncated},
        Malformed{"HugeChunkSize",
                  riff({{"LIST", {}, 0xFFFFFFF0u}, {"fmt ", formatBody(1, 1, 8000, 16)}}),
                  WaveError::Truncated},
        Malformed{"ZeroChannels", withFormatField(2, 0, 2), WaveError::BadFormat},
        Malformed{"ZeroHertz", withFormatField(4, 0, 4), WaveError::BadFormat},
        Malformed{"WrongBlockAlign", withFormatField(12, 3, 2), WaveError::BadFormat},
        Malformed{"TwelveBits", withFormatField(14, 12, 2), WaveError::BadFormat},
        Malformed{"ShortFormatChunk", riff({{"fmt ", {1, 0, 1, 0}}, {"data", pcm16({1})}}),
                  WaveError::BadFormat},
        Malformed{"ShortExtensible",
                  riff({{"fmt ", formatBody(0xFFFE, 1, 8000, 16)}, {"data", pcm16({1})}}),
                  WaveError::BadFormat},
        Malformed{"DataBeforeFormat",
                  riff({{"data", pcm16({1})}, {"fmt ", formatBody(1, 1, 8000, 16)}}),
                  WaveError::MissingFormat},
        Malformed{"NoFormat", riff({{"LIST", {0, 0}}}), WaveError::MissingFormat},
        Malformed{"NoData", riff({{"fmt ", formatBody(1, 1, 8000, 16)}}), WaveError::NoData},
        Malformed{"LessThanOneFrame",
                  riff({{"fmt ", formatBody(1, 2, 8000, 16)}, {"data", pcm16({1})}}),
                  WaveError::NoData},
        Malformed{"Adpcm", riff({{"fmt ", formatBody(2, 1, 8000, 16)}, {"data", pcm16({1})}}),
                  WaveError::Unsupported},
        Malformed{"DoubleFloat", riff({{"fmt ", formatBody(3, 1, 8000, 64)}, {"data", Bytes(8)}}),
                  WaveError::Unsupported},
        Malformed{"SixChannels", riff({{"fmt ", formatBody(1, 6, 8000, 16)}, {"data", Bytes(12)}}),
                  WaveError::Unsupported},
        Malformed{"OneHertz", withFormatField(4, 1, 4), WaveError::Unsupported},
        Malformed{"ForeignSubFormat", withForeignSubFormat(), WaveError::Unsupported}),
    [](const testing::TestParamInfo<Malformed>& param) { return param.param.name; });
