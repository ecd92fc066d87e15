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

// Reads a music file in any format libsndfile reads and hands out one round of the loop at a time:
// the whole sound as interleaved 32-bit floats in the file's channels (in WAV order).
class MusicReader {
public:
    // A sound shorter than `shortestRound` is repeated, whole, to fill a round that long.
    explicit MusicReader(std::chrono::microseconds shortestRound = {});
    ~MusicReader();

    // Opens `path` (found by findFileIgnoringCase). Returns why it cannot be played, or "".
    std::string open(const std::string& path);

    const std::string& path() const { return path_; }
    int rate() const { return rate_; }
    int channels() const { return channels_; }
    int bytesPerFrame() const { return channels_ * static_cast<int>(sizeof(float)); }
    // As libsndfile names the file, e.g. "WAV, IMA ADPCM, 22050 Hz, mono".
    const std::string& description() const { return description_; }

    // Writes whole frames, at most `bytes` worth; fewer than fit mean the round has ended.
    std::size_t read(std::byte* out, std::size_t bytes);
    bool atEnd() const { return atEnd_; }

    // A new round, from the file opened afresh so that a file written anew plays as it is now.
    // Returns why it cannot be read (or became another kind of sound): the round is then silent.
    std::string rewind();

private:
    struct Decoder;

    std::string start(std::unique_ptr<Decoder> decoder);

    std::chrono::microseconds shortestRound_;
    std::string path_;
    int rate_ = 0;
    int channels_ = 0;
    std::string description_;
    std::unique_ptr<Decoder> decoder_; // while the rest of the round comes from the file
    std::vector<std::byte> held_; // handed out first: the start of the sound, or a short one whole
    std::size_t heldAt_ = 0;
    bool atEnd_ = true;
};

// What the game makes of a music file, without a sound server: for a pack's author.
struct MusicCheck {
    std::string problem; // why the game would not play it; empty when it would
    std::string format;  // as MusicReader::description gives it
    double seconds = 0;  // one round of the loop
    bool loops = false;  // it can be read again from its start, as each round does
};
MusicCheck checkMusic(const std::string& path);

} // namespace audio
