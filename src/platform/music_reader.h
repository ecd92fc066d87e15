// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// How the reader hands out samples: 16-bit integers or 32-bit floats, interleaved.
enum class SampleType { Int16, Float };

// Reads a music file through libsndfile, a block at a time, and hands out what the audio output
// plays. Decoders that give 16-bit samples (8- and 16-bit PCM, mu-law, A-law, ADPCM, GSM) hand
// them out exactly as 16-bit integers; everything else comes as floats. More than two channels are
// mixed down to stereo. A WAV file whose data chunk comes before its format chunk is read as if the
// two were in order.
class MusicReader {
public:
    MusicReader();
    ~MusicReader();
    MusicReader(const MusicReader&) = delete;
    MusicReader& operator=(const MusicReader&) = delete;

    // Opens the file at `path`, taken byte for byte as the file system names it. Returns why the
    // file cannot be played, or an empty string when it can.
    std::string open(const std::string& path);

    int rate() const;
    int channels() const; // 1 or 2
    SampleType sampleType() const;
    int bytesPerFrame() const;

    // Writes whole frames from the current position into `out`, at most `bytes` worth, and
    // returns the number of bytes written. Fewer frames than fit mean that the sound has ended.
    std::size_t read(std::byte* out, std::size_t bytes);
    bool atEnd() const;

    // Back to the start of the sound.
    void rewind();

private:
    struct Decoder;
    std::unique_ptr<Decoder> decoder_;
};

} // namespace platform
