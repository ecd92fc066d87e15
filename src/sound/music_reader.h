// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "common/library_messages.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stop_token>
#include <string>
#include <sys/types.h>
#include <vector>

namespace sound {

// What libsndfile may read of a file before its first sound. Whatever the format, an ordinary file
// reads its header, tags and pictures first: a FLAC picture block holds at most 16 MiB, cover art
// in ID3 tags or Ogg comments a few MiB; a WAV file is shown to libsndfile as a header made here.
// Past it a file (a FLAC file padded with gigabytes, say) costs the machine more than music may.
constexpr std::int64_t mostBytesBeforeFirstSound = std::int64_t(32) << 20;

// A sound up to this long, decoded, is held whole and replayed without reading the file again:
// 4 MiB, 12 s of 44.1 kHz stereo. A longer one is read from the file at every round.
constexpr std::size_t mostBytesHeldWhole = std::size_t(4) << 20;

// The file as it was last read: a file written anew, replaced or touched differs.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modified = 0; // nanoseconds
    std::int64_t changed = 0;  // nanoseconds, of the inode: a rename onto the path changes it
    bool operator==(const FileStamp&) const = default;
};

// Reads a music file in any format libsndfile reads and hands out one round of the loop at a time:
// the whole sound as interleaved 32-bit floats in the file's channels (in WAV order).
class MusicReader {
public:
    // A sound shorter than `shortestRound` is repeated, whole, to fill a round that long. One that
    // decodes to at most `heldWhole` bytes is held in memory and replayed from there.
    explicit MusicReader(std::chrono::microseconds shortestRound = {}, std::size_t heldWhole = 0);
    ~MusicReader();

    // Opens `path` as an AssetFile, which finds it in any letter case. Returns why it cannot be
    // played, or "". A stop requested through `stop` abandons the reading. Whether the file has
    // changed is asked of `path` byte for byte, so give it the name as found.
    std::string open(const std::string& path, std::stop_token stop = {});

    const std::string& path() const { return path_; }
    int rate() const { return rate_; }
    int channels() const { return channels_; }
    int bytesPerFrame() const { return channels_ * static_cast<int>(sizeof(float)); }
    // As libsndfile names the file, e.g. "WAV, IMA ADPCM, 22050 Hz, mono".
    const std::string& description() const { return description_; }
    // Whether the whole sound is held in memory.
    bool heldWhole() const { return rate_ != 0 && !decoder_; }

    // Writes whole frames, at most `bytes` worth; fewer than fit mean the round has ended.
    std::size_t read(std::byte* out, std::size_t bytes);
    bool atEnd() const { return atEnd_; }

    // A new round from the start of the sound, read from the file open already. Only when the file
    // at `path` has changed since it was last tried (see FileStamp) is `path` opened, and looked
    // up, again. Returns why it cannot be played (or became another kind of sound): the round is
    // then silent, and the file is not tried again until it changes.
    std::string rewind();

    // What the decoders printed on their own since the open.
    const common::LibraryMessages& libraryMessages() const { return messages_; }

private:
    struct Decoder;

    std::string openAnew();
    std::int64_t roundFrames() const;
    std::string start(std::unique_ptr<Decoder> decoder);
    std::string restart();
    void silence();

    std::chrono::microseconds shortestRound_;
    std::size_t mostHeldWhole_;
    std::stop_token stop_;
    std::string path_;
    FileStamp stamp_;     // of the file when it was last tried
    std::string problem_; // why it could not be played then; the rounds are silent meanwhile
    int rate_ = 0;
    int channels_ = 0;
    std::string description_;
    common::LibraryMessages messages_;
    std::unique_ptr<Decoder> decoder_; // for a sound not held whole: the rest of the round
    std::vector<std::byte> held_; // handed out first: the start of the sound, or a short one whole
    std::size_t heldAt_ = 0;
    bool atEnd_ = true;
};

// What decoders printed on their own, as the game's line about the file tells it: "" for nothing,
// else e.g. ` (lines the decoder printed: 4, the first: "Note: Illegal Audio-MPEG-Header ...")`.
std::string decoderLinesSaid(const common::LibraryMessages& said);

} // namespace sound
