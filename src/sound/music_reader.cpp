// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "sound/music_reader.h"

#include "files/asset_file.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <pulse/sample.h>
#include <sndfile.hh>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace sound {
namespace {

// A format chunk is tens of bytes; anything near this is damage.
constexpr std::size_t largestFormatChunk = 65536;
// Bounds a round held in memory whatever rate a file claims (200 ms of 384 kHz stereo: 600 KiB).
constexpr std::int64_t mostHeldBytes = 1 << 20;
// A WAV file holds a handful of chunks; thousands are damage, or worse.
constexpr int mostChunks = 1000;

// What libsndfile is shown of the file: `header`, made here, then `length` bytes of the file from
// `start`. For anything but a WAV file: no header, and the whole file.
struct OpenFile {
    explicit OpenFile(const std::string& path) : file(path), length(file.size()) {}
    sf_count_t size() const { return static_cast<sf_count_t>(header.size()) + length; }

    files::AssetFile file;
    std::string header;
    sf_count_t start = 0;
    sf_count_t length;
};

// One pass of libsndfile over the open file, counting what it reads. A read past the budget, or
// after a stop was asked for, gets nothing more.
struct FileView {
    static FileView& of(void* view) { return *static_cast<FileView*>(view); }

    std::shared_ptr<const OpenFile> file;
    std::stop_token stop;
    sf_count_t position = 0;
    std::int64_t bytesRead = 0;
    std::int64_t budget = mostBytesBeforeFirstSound;
    bool overBudget = false;
};

sf_count_t viewSeek(sf_count_t offset, int whence, void* userData) {
    FileView& view = FileView::of(userData);
    const sf_count_t base = whence == SEEK_CUR   ? view.position
                            : whence == SEEK_END ? view.file->size()
                                                 : 0;
    sf_count_t target = 0;
    if (__builtin_add_overflow(base, offset, &target) || target < 0)
        return -1;
    return view.position = target;
}

sf_count_t viewRead(void* out, sf_count_t count, void* userData) {
    FileView& view = FileView::of(userData);
    if (view.stop.stop_requested())
        return 0;
    if (count > view.budget - view.bytesRead) {
        view.overBudget = true;
        count = std::max<sf_count_t>(view.budget - view.bytesRead, 0);
    }
    const OpenFile& file = *view.file;
    auto* bytes = static_cast<char*>(out);
    const auto headerSize = static_cast<sf_count_t>(file.header.size());
    sf_count_t done = 0;
    if (view.position < headerSize)
        done = static_cast<sf_count_t>(file.header.copy(bytes, static_cast<std::size_t>(count),
                                                        static_cast<std::size_t>(view.position)));
    const sf_count_t fileOffset = view.position + done - headerSize;
    const sf_count_t fromFile = std::min(count - done, file.length - fileOffset);
    if (fromFile > 0) {
        const ssize_t got = pread(file.file.descriptor(), bytes + done,
                                  static_cast<std::size_t>(fromFile), file.start + fileOffset);
        done += std::max<ssize_t>(got, 0);
    }
    view.position += done;
    view.bytesRead += done;
    return done;
}

bool readAt(int descriptor, void* out, std::size_t size, sf_count_t offset) {
    return pread(descriptor, out, size, offset) == static_cast<ssize_t>(size);
}

std::uint64_t numberAt(const unsigned char* bytes, int count, bool bigEndian) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[bigEndian ? i : count - 1 - i];
    return value;
}

// A WAV header holding `format` as its format chunk and announcing `dataLength` bytes of data.
std::string waveHeader(const std::string& format, std::uint64_t dataLength, bool bigEndian) {
    std::string header;
    const auto addChunkHead = [&](const char* name, std::uint64_t length) {
        const auto clamped =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(length, 0xFFFFFFFF));
        header += name;
        for (int i = 0; i < 4; ++i)
            header += static_cast<char>(clamped >> (bigEndian ? 24 - 8 * i : 8 * i) & 0xFF);
    };
    const std::size_t pad = format.size() & 1;
    addChunkHead(bigEndian ? "RIFX" : "RIFF", 4 + 8 + format.size() + pad + 8 + dataLength);
    header += "WAVE";
    addChunkHead("fmt ", format.size());
    header += format;
    header.append(pad, '\0');
    addChunkHead("data", dataLength);
    return header;
}

// Zeros where a chunk should be are what a download that reserved the file's size leaves.
bool isChunkName(const unsigned char* name) {
    return std::all_of(
        name, name + 4, [](unsigned char c) { return c >= 0x20 && c <= 0x7E; });
}

// libsndfile can spin for ever in its parsers of other chunks (a damaged LIST chunk does it) and
// refuses data before the format: a WAV file (RIFF, RIFX, RF64) is shown to it as a header made
// here around its format chunk, then its data. The walk stops at anything but a chunk header, a
// chunk past the end, or too many chunks. Returns why it cannot be played; "" for other kinds.
std::string showFormatAndDataOnly(OpenFile& view) {
    const int descriptor = view.file.descriptor();
    const sf_count_t fileSize = view.length;
    unsigned char riff[12];
    if (!readAt(descriptor, riff, sizeof riff, 0) || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return {};
    const std::string_view form(reinterpret_cast<const char*>(riff), 4);
    if (form != "RIFF" && form != "RIFX" && form != "RF64")
        return {};
    const bool bigEndian = form == "RIFX";
    std::optional<std::string> format;
    std::optional<std::pair<sf_count_t, std::uint64_t>> data; // where it starts, how long it is
    std::uint64_t longDataLength = 0;                         // RF64's
    bool afterOddChunk = false;
    sf_count_t at = sizeof riff;
    for (int chunks = 0; chunks < mostChunks && !(format && data) && at <= fileSize - 8; ++chunks) {
        unsigned char chunk[8 + 16];
        if (!readAt(descriptor, chunk, 8, at))
            break;
        if (!isChunkName(chunk) && std::exchange(afterOddChunk, false)) {
            at -= 1; // a writer that left out the pad byte after a chunk of odd length
            continue;
        }
        if (!isChunkName(chunk))
            break;
        const std::string_view name(reinterpret_cast<const char*>(chunk), 4);
        const sf_count_t body = at + 8;
        std::uint64_t length = numberAt(chunk + 4, 4, bigEndian);
        if (name == "ds64" && length >= 16 && readAt(descriptor, chunk + 8, 16, body))
            longDataLength = numberAt(chunk + 16, 8, false);
        if (name == "fmt " && !format) {
            format.emplace(std::min<std::uint64_t>(length, largestFormatChunk), '\0');
            if (length > format->size() ||
                !readAt(descriptor, format->data(), format->size(), body))
                return QCoreApplication::translate("Music", "a damaged format chunk").toStdString();
        } else if (name == "data" && !data) {
            if (length == 0xFFFFFFFF && longDataLength > 0)
                length = longDataLength;
            data.emplace(body, std::min<std::uint64_t>(length, fileSize - body));
        }
        afterOddChunk = length & 1;
        at = body +
             static_cast<sf_count_t>(std::min<std::uint64_t>(length + (length & 1), fileSize));
    }
    if (!format)
        return QCoreApplication::translate("Music", "no format chunk in the WAV file")
            .toStdString();
    if (!data)
        return QCoreApplication::translate("Music", "no data chunk in the WAV file").toStdString();
    view.header = waveHeader(*format, data->second, bigEndian);
    view.start = data->first;
    view.length = static_cast<sf_count_t>(std::min<std::uint64_t>(data->second, 0xFFFFFFFF));
    return {};
}

// libsndfile's name for a container or an encoding, without what it adds in brackets.
std::string formatName(int format) {
    SF_FORMAT_INFO info{format, nullptr, nullptr};
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || info.name == nullptr)
        return QCoreApplication::translate("Music", "unknown").toStdString();
    const std::string_view name = info.name;
    return std::string(name.substr(0, name.find(" (")));
}

std::string overBudget() {
    return QCoreApplication::translate("Music", "reads more than %1 MiB before its first sound")
        .arg(mostBytesBeforeFirstSound >> 20)
        .toStdString();
}

// What a stat of `path` says of the file; nothing when there is none.
FileStamp stampOf(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return {};
    const auto nanoseconds = [](const timespec& time) {
        return std::int64_t(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
    };
    return {true,
            status.st_dev,
            status.st_ino,
            status.st_size,
            nanoseconds(status.st_mtim),
            nanoseconds(status.st_ctim)};
}

} // namespace

// One pass of libsndfile's decoder over the open file, or why the file cannot be played.
struct MusicReader::Decoder {
    Decoder(std::shared_ptr<const OpenFile> file, std::stop_token stop,
            common::LibraryMessages& messages)
        : view{std::move(file), std::move(stop)} {
        const common::HoldLibraryMessages hold(messages);
        handle = SndfileHandle(io, &view);
        if (view.overBudget)
            problem = overBudget();
        else if (handle.rawHandle() == nullptr)
            problem = handle.strError();
        else if (handle.frames() == 0)
            problem = QCoreApplication::translate("Music", "no sound in the file").toStdString();
        else if (handle.samplerate() > static_cast<int>(PA_RATE_MAX)) // what the server takes
            problem = QCoreApplication::translate(
                          "Music", "%1 samples a second, more than the %2 the sound server takes")
                          .arg(handle.samplerate())
                          .arg(PA_RATE_MAX)
                          .toStdString();
        else if (handle.channels() > static_cast<int>(PA_CHANNELS_MAX))
            problem = QCoreApplication::translate(
                          "Music", "%1 channels, more than the %2 the sound server takes")
                          .arg(handle.channels())
                          .arg(PA_CHANNELS_MAX)
                          .toStdString();
    }

    FileView view;
    SF_VIRTUAL_IO io{[](void* self) { return FileView::of(self).file->size(); }, viewSeek, viewRead,
                     nullptr, [](void* self) { return FileView::of(self).position; }};
    SndfileHandle handle;
    std::string problem;
};

MusicReader::MusicReader(std::chrono::microseconds shortestRound, std::size_t heldWhole)
    : shortestRound_(shortestRound), mostHeldWhole_(heldWhole) {}

MusicReader::~MusicReader() = default;

std::string MusicReader::open(const std::string& path, std::stop_token stop) {
    path_ = path;
    stop_ = std::move(stop);
    rate_ = channels_ = 0;
    std::string problem = openAnew();
    if (!problem.empty()) {
        rate_ = channels_ = 0; // nothing half open to read from
        decoder_.reset();
    }
    return problem;
}

// The file read from its start, as it is now. The stamp is taken first: a change while it is read
// shows at the next round.
std::string MusicReader::openAnew() {
    stamp_ = stampOf(path_);
    decoder_.reset();
    auto file = std::make_shared<OpenFile>(path_);
    if (!file->file.isOpen())
        return file->file.problem();
    if (std::string problem = showFormatAndDataOnly(*file); !problem.empty())
        return problem;
    auto decoder = std::make_unique<Decoder>(std::move(file), stop_, messages_);
    if (!decoder->problem.empty())
        return decoder->problem;
    const SndfileHandle& sound = decoder->handle;
    if (rate_ != 0)
        return sound.samplerate() != rate_ || sound.channels() != channels_
                   ? QCoreApplication::translate("Music", "another kind of sound than before")
                         .toStdString()
                   : start(std::move(decoder));
    rate_ = sound.samplerate();
    channels_ = sound.channels();
    description_ =
        formatName(sound.format() & SF_FORMAT_TYPEMASK) + ", " +
        formatName(sound.format() & SF_FORMAT_SUBMASK) + ", " + std::to_string(rate_) + " Hz, " +
        (channels_ == 1 ? QCoreApplication::translate("Music", "mono").toStdString()
         : channels_ == 2
             ? QCoreApplication::translate("Music", "stereo").toStdString()
             : QCoreApplication::translate("Music", "%1 channels").arg(channels_).toStdString());
    return start(std::move(decoder));
}

// A round's worth of frames (one at least), held in memory whatever rate a file claims.
std::int64_t MusicReader::roundFrames() const {
    return std::max<std::int64_t>(
        std::min(shortestRound_.count() * rate_ / 1'000'000, mostHeldBytes / bytesPerFrame()), 1);
}

// Holds the start of the sound, a round's worth, or the whole sound when it is short enough; the
// decoder goes on from there. A sound shorter than a round is repeated to fill it.
std::string MusicReader::start(std::unique_ptr<Decoder> decoder) {
    const std::int64_t round = roundFrames();
    const std::int64_t claimed = decoder->handle.frames();
    const auto wholeFrames = static_cast<std::int64_t>(mostHeldWhole_) / bytesPerFrame();
    // One frame more than claimed shows where the end is.
    const std::int64_t wanted = std::max(round, claimed < wholeFrames ? claimed + 1 : 0);
    held_.assign(static_cast<std::size_t>(wanted * bytesPerFrame()), std::byte{0});
    // In portions: at a damaged frame libsndfile's MPEG decoder gives nothing of a long read.
    constexpr sf_count_t portion = 4096;
    sf_count_t got = 0;
    for (sf_count_t last = portion; got < wanted && last == portion; got += last) {
        const common::HoldLibraryMessages hold(messages_);
        last = decoder->handle.readf(reinterpret_cast<float*>(held_.data()) + got * channels_,
                                     std::min(portion, wanted - got));
    }
    if (decoder->view.overBudget)
        return overBudget();
    decoder->view.budget = std::numeric_limits<std::int64_t>::max(); // the sound has started
    held_.resize(static_cast<std::size_t>(got * bytesPerFrame()));
    held_.shrink_to_fit();
    decoder_ = got == wanted ? std::move(decoder) : nullptr;
    if (got > 0 && got < round) {
        const std::vector<std::byte> sound = held_;
        while (held_.size() < static_cast<std::size_t>(round * bytesPerFrame()))
            held_.insert(held_.end(), sound.begin(), sound.end());
    }
    heldAt_ = 0;
    atEnd_ = false;
    return got > 0 ? ""
                   : QCoreApplication::translate("Music", "no sound in the file").toStdString();
}

// The same file from its start: what is held, then a decoder started afresh over the open file
// from where that ends. Not sought: the MPEG decoder carries state across a seek, GSM in WAV cannot
// seek at all, and a damaged header can make libsndfile seek elsewhere than it first read.
std::string MusicReader::restart() {
    heldAt_ = 0;
    atEnd_ = false;
    if (!decoder_)
        return {};
    auto fresh = std::make_unique<Decoder>(decoder_->view.file, stop_, messages_);
    decoder_.reset();
    return fresh->problem.empty() ? start(std::move(fresh)) : fresh->problem;
}

void MusicReader::silence() {
    decoder_.reset();
    held_.assign(static_cast<std::size_t>(roundFrames() * bytesPerFrame()), std::byte{0});
    heldAt_ = 0;
    atEnd_ = false;
}

std::size_t MusicReader::read(std::byte* out, std::size_t bytes) {
    if (rate_ == 0)
        return 0;
    const common::HoldLibraryMessages hold(messages_);
    const auto frameBytes = static_cast<std::size_t>(bytesPerFrame());
    const std::size_t wanted = bytes / frameBytes * frameBytes;
    std::size_t done = 0;
    while (done < wanted && !atEnd_) {
        std::size_t got = 0;
        if (heldAt_ < held_.size()) {
            got = std::min(wanted - done, held_.size() - heldAt_);
            std::memcpy(out + done, held_.data() + heldAt_, got);
            heldAt_ += got;
        } else if (decoder_) {
            const auto frames = static_cast<sf_count_t>((wanted - done) / frameBytes);
            got = static_cast<std::size_t>(
                      decoder_->handle.readf(reinterpret_cast<float*>(out + done), frames)) *
                  frameBytes;
            atEnd_ = got < wanted - done;
        } else {
            atEnd_ = true;
        }
        done += got;
    }
    return done;
}

std::string MusicReader::rewind() {
    if (rate_ == 0)
        return {};
    if (stampOf(path_) != stamp_)
        problem_ = openAnew();
    else if (problem_.empty())
        problem_ = restart();
    if (!problem_.empty())
        silence();
    return problem_;
}

std::string decoderLinesSaid(const common::LibraryMessages& said) {
    if (said.lines == 0)
        return {};
    return QCoreApplication::translate("Music",
                                       " (lines the decoder printed: %1, the first: \"%2\")")
        .arg(said.lines)
        .arg(QString::fromStdString(said.first))
        .toStdString();
}

} // namespace sound
