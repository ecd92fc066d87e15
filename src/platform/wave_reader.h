#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

// How the samples are stored in the file's data chunk.
enum class WaveEncoding { UInt8, Int16, Int24, Int32, Float32 };

// What the reader hands out: 8- and 16-bit files as 16-bit integers (exact),
// everything wider as 32-bit floats.
enum class WaveOutput { Int16, Float32 };

enum class WaveError {
    None,
    NotRiffWave,   // no "RIFF....WAVE" header
    Truncated,     // a chunk runs past the end of the file
    MissingFormat, // no usable "fmt " chunk before the data
    BadFormat,     // a header field that makes no sense (0 channels, 0 Hz, ...)
    Unsupported,   // a well-formed header we do not decode (compressed, 5.1, ...)
    NoData,        // no "data" chunk, or one without a single whole frame
};

struct WaveFormat {
    int channels = 0;
    int sampleRate = 0;
    WaveEncoding encoding = WaveEncoding::Int16;
    int bytesPerFrame = 0;
};

// Reads the samples of a RIFF/WAVE file held in memory (usually a mapping of
// the file), converting them on the fly; reading never allocates.
class WaveReader {
public:
    WaveError open(std::span<const std::byte> file);

    const WaveFormat& format() const { return format_; }
    WaveOutput output() const { return output_; }
    int outputBytesPerFrame() const;
    std::int64_t frameCount() const { return frameCount_; }
    std::int64_t position() const { return position_; }
    bool atEnd() const { return position_ >= frameCount_; }

    // Moves to the given frame, clamped to the data.
    void seek(std::int64_t frame);

    // Converts up to outputBytes / outputBytesPerFrame() whole frames from the
    // current position into `out` and returns the number of bytes written.
    std::size_t read(std::byte* out, std::size_t outputBytes);

private:
    WaveError readFormatChunk(std::span<const std::byte> chunk);

    WaveFormat format_;
    WaveOutput output_ = WaveOutput::Int16;
    std::span<const std::byte> data_;
    std::int64_t frameCount_ = 0;
    std::int64_t position_ = 0;
};

const char* describeWaveError(WaveError error);

} // namespace platform
