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

// Reads a music file in any format libsndfile reads, a block at a time, and hands out what the
// audio output plays, one round at a time: the whole sound, from its start to its end, as
// interleaved 32-bit floats in the file's own channels (in the order of a WAV file). Of a WAV file
// libsndfile sees only the format and the data, in that order, whatever else the file holds.
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

    int rate() const { return rate_; }
    int channels() const { return channels_; }
    int bytesPerFrame() const { return channels_ * static_cast<int>(sizeof(float)); }
    // The file as libsndfile names it, e.g. "WAV, IMA ADPCM, 22050 Hz, mono".
    const std::string& description() const { return description_; }

    // Writes whole frames from the current position into `out`, at most `bytes` worth, and
    // returns the number of bytes written. Fewer frames than fit mean that the round has ended.
    std::size_t read(std::byte* out, std::size_t bytes);
    bool atEnd() const { return atEnd_; }

    // Back to the start for a new round, with the file opened afresh, so that a file written anew
    // plays as it is now. When it cannot be read, or has become another kind of sound, the round
    // is as short a silence as a round may be, and the reason comes back; otherwise an empty
    // string.
    std::string rewind();

private:
    struct Decoder;

    std::string start(std::unique_ptr<Decoder> decoder);

    std::chrono::microseconds shortestRound_;
    std::string path_;
    int rate_ = 0;
    int channels_ = 0;
    std::string description_;
    std::int64_t shortestRoundFrames_ = 0;
    std::unique_ptr<Decoder> decoder_; // while the rest of the round comes from the file
    // The start of the sound, all of it when it is shorter than a round (or silence), handed out
    // first, and repeated until the round lasts the shortest round.
    std::vector<std::byte> held_;
    std::size_t heldAt_ = 0;
    std::int64_t roundFrames_ = 0; // handed out in this round so far
    bool atEnd_ = true;
};

// What the game makes of a music file, without a sound server: for a pack's author.
struct MusicCheck {
    std::string problem; // why the game would not play it; empty when it would
    std::string format;  // as MusicReader::description gives it
    double seconds = 0;  // one round of the loop
    bool loops = false;  // it can be read again from its start, as each round of the loop does
};
MusicCheck checkMusic(const std::string& path);

} // namespace audio
