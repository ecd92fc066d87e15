// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace audio {

// How the reader hands out samples: 16-bit integers or 32-bit floats, interleaved.
enum class SampleType { Int16, Float };

// Reads a music file through libsndfile, a block at a time, and hands out what the audio output
// plays, one round at a time: the whole sound, from its start to its end. Decoders that give 16-bit
// samples (8- and 16-bit PCM, mu-law, A-law, ADPCM, GSM) hand them out exactly as 16-bit integers;
// everything else comes as floats. More than two channels are mixed down to stereo. A WAV file
// whose data chunk comes before its format chunk is read as if the two were in order.
class MusicReader {
public:
    // A sound shorter than `shortestRound` is handed out repeated, whole, as often as it takes for
    // a round to last at least that long.
    explicit MusicReader(std::chrono::microseconds shortestRound = {});
    ~MusicReader();
    MusicReader(const MusicReader&) = delete;
    MusicReader& operator=(const MusicReader&) = delete;

    // Opens the file at `path`, found by findFileIgnoringCase and taken byte for byte. Returns why
    // the file cannot be played, or an empty string when it can. Called once.
    std::string open(const std::string& path);

    int rate() const;
    int channels() const; // 1 or 2
    SampleType sampleType() const;
    int bytesPerFrame() const;

    // Writes whole frames from the current position into `out`, at most `bytes` worth, and
    // returns the number of bytes written. Fewer frames than fit mean that the round has ended.
    std::size_t read(std::byte* out, std::size_t bytes);
    bool atEnd() const;

    // Back to the start for a new round, with the file opened afresh, so that a file written anew
    // plays as it is now. When it cannot be read, or has become another kind of sound, the round
    // is silence as long as the last one, and the reason comes back; otherwise an empty string.
    std::string rewind();

private:
    struct Decoder;
    enum class Source { Sound, RepeatedSound, Silence };
    struct Format {
        int rate = 0;
        int channels = 0;
        SampleType type = SampleType::Float;
        bool operator==(const Format&) const = default;
    };

    std::string start();
    std::size_t readHeld(std::byte* out, std::size_t bytes);

    std::chrono::microseconds shortestRound_;
    std::string path_;
    Format format_;
    std::unique_ptr<Decoder> decoder_;
    Source source_ = Source::Silence;
    // The start of the sound, or all of it when it is shorter than a round.
    std::vector<std::byte> held_;
    std::size_t heldAt_ = 0;
    std::int64_t shortestRoundFrames_ = 0;
    std::int64_t roundFrames_ = 0; // handed out in this round so far
    std::int64_t lastRoundFrames_ = 0;
    bool atEnd_ = true;
};

// What the game would make of a music file, for the pack checker.
struct MusicCheck {
    std::string problem; // why it would not play; empty when it plays
    std::string format;
    double seconds = 0;
    bool loops = false; // it can be read again from its start, as each round of the loop does
};
MusicCheck checkMusic(const std::string& path);

} // namespace audio
