// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "check/music_check.h"
#include "music_files.h"
#include "sound/music_reader.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>
#include <sys/stat.h>
#include <thread>

using namespace music_files;
using sound::MusicReader;

namespace {

// One tone on the left, another on the right, so that a lost or swapped channel shows.
double tone(int channel, double seconds) {
    const double pi = std::numbers::pi;
    return channel == 0 ? 0.5 * std::sin(2 * pi * 220 * seconds)
                        : 0.4 * std::sin(2 * pi * 330 * seconds + 1);
}

// The tone as 16-bit samples hold it, in full scale.
double quantisedTone(int channel, double seconds) {
    return std::round(32767 * tone(channel, seconds)) / 32768;
}

enum class Layout {
    AsWritten,
    DataBeforeFormat,
    Truncated,
    Streamed,
    DamagedList,
    Mp3InWave,
    PaddedWithinTheBudget
};

struct FormatCase {
    const char* name;
    int format; // as libsndfile writes it
    int channels;
    int rate;
    Layout layout;
    double tolerance; // largest root-mean-square difference from the tones, in full scale
    int frameSlack;   // how many frames more or fewer than written the decoder may give
};

constexpr double seconds = 0.5;
constexpr int truncatedBytes = 1000;

// Files with two channels carry one tone on each side; any other count the left tone on all.
int toneOf(int channel, int channels) {
    return channels == 2 ? channel : 0;
}

std::vector<short> toneSamples(int channels, int rate) {
    std::vector<short> samples;
    for (int frame = 0; frame < seconds * rate; ++frame)
        for (int channel = 0; channel < channels; ++channel)
            samples.push_back(static_cast<short>(
                std::round(32767 * tone(toneOf(channel, channels), double(frame) / rate))));
    return samples;
}

// MPEGLAYER3WAVEFORMAT, as Windows tools write it in front of MPEG Layer III data.
std::string mpegLayer3Format(int channels, int rate) {
    std::string format;
    const auto put16 = [&](unsigned value) { format += asLittleEndian32(value).substr(0, 2); };
    put16(0x55);
    put16(channels);
    format += asLittleEndian32(rate);
    format += asLittleEndian32(16000);
    put16(1);                      // block align
    put16(0);                      // bits per sample
    put16(12);                     // size of what follows
    put16(1);                      // MPEGLAYER3_ID_MPEG
    format += asLittleEndian32(2); // MPEGLAYER3_FLAG_PADDING_OFF
    put16(418);                    // block size
    put16(1);                      // frames per block
    put16(1393);                   // codec delay
    return format;
}

// Each case with each of `values`.
template <typename Case, typename Value>
std::vector<std::pair<Case, Value>> combinations(const std::vector<Case>& cases,
                                                 const std::vector<Value>& values) {
    std::vector<std::pair<Case, Value>> all;
    for (const Case& c : cases)
        for (const Value& value : values)
            all.emplace_back(c, value);
    return all;
}

// Writes the case's file into `folder`; its path.
std::string writeCase(const QTemporaryDir& folder, const FormatCase& c) {
    const std::string path = folder.filePath("bgm.wav").toStdString();
    const std::vector<short> samples = toneSamples(c.channels, c.rate);
    if (c.layout == Layout::Mp3InWave) {
        const std::string mp3 = folder.filePath("bgm.mp3").toStdString();
        EXPECT_TRUE(writeSound(mp3, c.format, c.channels, c.rate, samples));
        writeFile(path,
                  riff({{"fmt ", mpegLayer3Format(c.channels, c.rate)}, {"data", readFile(mp3)}}));
        return path;
    }
    EXPECT_TRUE(writeSound(path, c.format, c.channels, c.rate, samples));
    if (c.layout == Layout::PaddedWithinTheBudget) {
        EXPECT_TRUE(padFlac(path, sound::mostBytesBeforeFirstSound - (1 << 20)));
        return path;
    }
    std::string file = readFile(path);
    std::vector<Chunk> chunks = chunksOf(file);
    switch (c.layout) {
    case Layout::DataBeforeFormat:
        std::swap(chunks.front(), chunks.back());
        file = riff(chunks);
        break;
    case Layout::Truncated:
        file.resize(file.size() - truncatedBytes);
        break;
    case Layout::Streamed:
        file = riff(chunks, 0xFFFFFFFF);
        break;
    case Layout::DamagedList:
        // A list whose entry claims more than the list holds: libsndfile 1.2.0's parser of it
        // spins for ever.
        chunks.insert(
            chunks.begin() + 1,
            {"LIST",
             std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\0\0\0\xF0\xFF\xFF\xFF", 16)});
        file = riff(chunks);
        break;
    default:
        break;
    }
    writeFile(path, file);
    return path;
}

// Everything from the current position to the end, read in portions that hold no whole number of
// frames, as a sound card may ask.
std::vector<std::byte> readToEnd(MusicReader& reader) {
    const auto portion = static_cast<std::size_t>(reader.bytesPerFrame()) * 37 + 1;
    std::vector<std::byte> all;
    while (true) {
        const std::size_t at = all.size();
        all.resize(at + portion);
        const std::size_t got = reader.read(all.data() + at, portion);
        all.resize(at + got);
        if (got < portion - portion % reader.bytesPerFrame())
            break;
    }
    EXPECT_TRUE(reader.atEnd());
    return all;
}

double sampleAt(const std::vector<std::byte>& bytes, std::size_t index) {
    float value;
    std::memcpy(&value, bytes.data() + 4 * index, 4);
    return value;
}

double rmsDifferenceFromTones(const std::vector<std::byte>& bytes, const MusicReader& reader,
                              std::int64_t frames, int fileChannels) {
    double sum = 0;
    for (std::int64_t frame = 0; frame < frames; ++frame) {
        for (int channel = 0; channel < reader.channels(); ++channel) {
            const double expected =
                quantisedTone(toneOf(channel, fileChannels), double(frame) / reader.rate());
            const double got = sampleAt(bytes, std::size_t(frame * reader.channels() + channel));
            sum += (got - expected) * (got - expected);
        }
    }
    return std::sqrt(sum / double(frames * reader.channels()));
}

} // namespace

// Every format a pack may hold plays at its own rate, in its own channels, with the tones it was
// made from, within the codec's error, and a rewind hands out the same sound again, sample for
// sample, whether it is held whole or read again from the file.
TEST(MusicReader, PlaysEveryFormat) {
    constexpr int wav = SF_FORMAT_WAV;
    constexpr Layout asWritten = Layout::AsWritten;
    const std::vector<FormatCase> cases = {
        {"16-bit PCM", wav | SF_FORMAT_PCM_16, 2, 44100, asWritten, 0, 0},
        {"8-bit PCM", wav | SF_FORMAT_PCM_U8, 1, 22050, asWritten, 0.008, 0},
        {"24-bit PCM", wav | SF_FORMAT_PCM_24, 2, 48000, asWritten, 0, 0},
        {"32-bit PCM", wav | SF_FORMAT_PCM_32, 1, 44100, asWritten, 0, 0},
        {"32-bit float", wav | SF_FORMAT_FLOAT, 2, 44100, asWritten, 0, 0},
        {"64-bit float", wav | SF_FORMAT_DOUBLE, 2, 96000, asWritten, 0, 0},
        {"extensible 16-bit PCM", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 2, 44100, asWritten, 0, 0},
        {"mu-law", wav | SF_FORMAT_ULAW, 1, 8000, asWritten, 0.01, 0},
        {"A-law", wav | SF_FORMAT_ALAW, 2, 8000, asWritten, 0.01, 0},
        {"IMA ADPCM", wav | SF_FORMAT_IMA_ADPCM, 2, 22050, asWritten, 0.006, 2048},
        {"MS ADPCM", wav | SF_FORMAT_MS_ADPCM, 2, 22050, asWritten, 0.002, 2048},
        {"GSM 6.10", wav | SF_FORMAT_GSM610, 1, 8000, asWritten, 0.1, 640},
        {"MPEG Layer III in WAV", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 2, 44100,
         Layout::Mp3InWave, 0.006, 0},
        {"six channels", wav | SF_FORMAT_PCM_16, 6, 44100, asWritten, 0, 0},
        {"5512 Hz", wav | SF_FORMAT_PCM_16, 1, 5512, asWritten, 0, 0},
        {"big-endian RIFX", wav | SF_FORMAT_PCM_16 | SF_ENDIAN_BIG, 2, 44100, asWritten, 0, 0},
        {"RF64", SF_FORMAT_RF64 | SF_FORMAT_PCM_16, 2, 44100, asWritten, 0, 0},
        {"Ogg Vorbis", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 2, 44100, asWritten, 0.01, 0},
        {"FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2, 44100, asWritten, 0, 0},
        {"data chunk before the format", wav | SF_FORMAT_PCM_16, 2, 44100, Layout::DataBeforeFormat,
         0, 0},
        {"data chunk longer than the file", wav | SF_FORMAT_PCM_16, 2, 44100, Layout::Truncated, 0,
         truncatedBytes / 4},
        {"IMA ADPCM streamed, sizes 0xFFFFFFFF", wav | SF_FORMAT_IMA_ADPCM, 2, 22050,
         Layout::Streamed, 0.006, 2048},
        {"a damaged list chunk", wav | SF_FORMAT_PCM_16, 2, 44100, Layout::DamagedList, 0, 0},
        {"FLAC padded to just within the budget", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2, 44100,
         Layout::PaddedWithinTheBudget, 0, 0},
    };
    for (const auto& [c, heldWhole] :
         combinations(cases, std::vector<std::size_t>{0, sound::mostBytesHeldWhole})) {
        SCOPED_TRACE(std::string(c.name) + (heldWhole > 0 ? ", held whole" : ", read again"));
        QTemporaryDir folder;
        MusicReader reader(std::chrono::milliseconds(200), heldWhole); // as the game reads
        ASSERT_EQ(reader.open(writeCase(folder, c)), "");
        EXPECT_EQ(reader.rate(), c.rate);
        EXPECT_EQ(reader.channels(), c.channels);

        const std::vector<std::byte> sound = readToEnd(reader);
        const auto frames = static_cast<std::int64_t>(sound.size()) / reader.bytesPerFrame();
        const auto written = static_cast<std::int64_t>(seconds * c.rate);
        EXPECT_LE(std::abs(frames - written), c.frameSlack) << frames << " frames";
        EXPECT_LE(rmsDifferenceFromTones(sound, reader, std::min(frames, written), c.channels),
                  c.tolerance);

        EXPECT_EQ(reader.heldWhole(), heldWhole > 0);
        for (int round = 2; round <= 3; ++round) {
            EXPECT_EQ(reader.rewind(), "");
            EXPECT_FALSE(reader.atEnd());
            EXPECT_TRUE(readToEnd(reader) == sound) << "round " << round << " differs";
        }
    }
}

namespace {

// Bytes this process has read from files so far.
long long bytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = -1;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    return -1;
}

std::vector<short> ramp(int frames) {
    std::vector<short> samples;
    for (int i = 0; i < frames; ++i)
        samples.push_back(static_cast<short>(1000 + i));
    return samples;
}

// The samples as the reader hands them out: floats in full scale.
std::vector<std::byte> bytesOf(const std::vector<short>& samples) {
    std::vector<float> floats;
    for (const short sample : samples)
        floats.push_back(sample / 32768.0f);
    std::vector<std::byte> bytes(floats.size() * sizeof(float));
    std::memcpy(bytes.data(), floats.data(), bytes.size());
    return bytes;
}

} // namespace

// A file that cannot be played is refused with a reason, and reading it gives nothing. Whatever
// the file, little of it is read to find that out (at most the budget before the first sound), and
// a named pipe is not waited on.
TEST(MusicReader, RefusesWhatItCannotPlay) {
    QTemporaryDir folder;
    const auto path = [&](const char* name) { return folder.filePath(name).toStdString(); };
    writeFile(path("empty.wav"), "");
    writeFile(path("text.wav"), "these are not the sounds you are looking for");
    writeFile(path("no-data.wav"), riff({{"fmt ", std::string(16, '\1')}}));
    ASSERT_TRUE(writeSound(path("silent.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000, {}));
    // What a download that reserves the file's size first leaves: a header, then zeros.
    writeFile(path("header-only.wav"), "RIFF\xFF\xFF\xFF\xFFWAVE");
    std::filesystem::resize_file(path("header-only.wav"), 1ull << 30); // sparse
    ASSERT_EQ(mkfifo(path("pipe.wav").c_str(), 0600), 0);
    // A list chunk that makes libsndfile 1.2.0 spin for ever, found by fuzzing.
    writeFile(path("spinning-list.wav"),
              QByteArray::fromBase64(
                  "UklGRkAAAABXQVZFZm10IBAAAAABAAIARKwAABCxAgAEABAATElTVFJJRkb///////////8AAADw////"
                  "//////////////////////////////////////////////////////////////////////////////K2"
                  "////A0FjAGRhdGEQEAA=")
                  .toStdString());
    // A gibibyte of padding before the first sound, and then eight.
    ASSERT_TRUE(writeFlacWithPadding(path("padded.flac"), std::int64_t(1) << 30));
    ASSERT_TRUE(writeFlacWithPadding(path("padded-more.flac"), std::int64_t(8) << 30));
    const std::string overBudget = "reads more than 32 MiB before its first sound";
    constexpr long long little = 1 << 20;
    constexpr long long budget = sound::mostBytesBeforeFirstSound + little;
    struct Case {
        const char* name;
        const char* reason; // nullptr: libsndfile's own words
        long long mostRead;
    };
    const std::vector<Case> cases = {
        {"missing.wav", "No such file or directory", little},
        {"", "not a regular file", little},
        {"pipe.wav", "not a regular file", little},
        {"empty.wav", nullptr, little},
        {"text.wav", nullptr, little},
        {"no-data.wav", nullptr, little},
        {"silent.wav", "no sound in the file", little},
        {"header-only.wav", "no format chunk in the WAV file", little},
        {"spinning-list.wav", nullptr, little},
        {"padded.flac", overBudget.c_str(), budget},
        {"padded-more.flac", overBudget.c_str(), budget},
    };
    for (const auto& [name, reason, mostRead] : cases) {
        MusicReader reader;
        const long long before = bytesReadSoFar();
        const std::string problem = reader.open(path(name));
        EXPECT_LT(bytesReadSoFar() - before, mostRead) << name;
        EXPECT_NE(problem, "") << name;
        EXPECT_TRUE(reason == nullptr || problem == reason) << name << ": " << problem;
        std::byte out[64];
        EXPECT_EQ(reader.read(out, sizeof out), 0u) << name;
    }
}

// A sound shorter than the shortest round is handed out repeated, whole, until the round lasts
// that long; the next round is the same again. A longer sound is a round on its own.
TEST(MusicReader, ShortSoundIsRepeatedIntoARound) {
    constexpr int rate = 8000;
    constexpr int roundFrames = rate / 50; // 20 ms
    QTemporaryDir folder;
    const std::string path = folder.filePath("bgm.wav").toStdString();
    for (const int frames : {1, 3, 7, 159, 160, 161, 4000}) {
        SCOPED_TRACE(std::to_string(frames) + " frames");
        ASSERT_TRUE(writeSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, rate, ramp(frames)));
        MusicReader reader(std::chrono::milliseconds(20));
        ASSERT_EQ(reader.open(path), "");
        std::vector<std::byte> round;
        const int repeats = (roundFrames + frames - 1) / frames;
        for (int i = 0; i < repeats; ++i) {
            const std::vector<std::byte> sound = bytesOf(ramp(frames));
            round.insert(round.end(), sound.begin(), sound.end());
        }
        EXPECT_TRUE(readToEnd(reader) == round);
        ASSERT_EQ(reader.rewind(), "");
        EXPECT_TRUE(readToEnd(reader) == round) << "the second round differs";
    }

    // At the highest rate and with the most channels the sound server takes, a round of a short
    // sound stays within a mebibyte, give or take the last repeat.
    constexpr int channels = 32;
    ASSERT_TRUE(
        writeSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, channels, 384000, ramp(3 * channels)));
    MusicReader reader(std::chrono::milliseconds(200));
    ASSERT_EQ(reader.open(path), "");
    EXPECT_LT(readToEnd(reader).size(), (std::size_t(1) << 20) + 3 * channels * sizeof(float));
}

// A short sound is held whole: a round of an unchanged file reads nothing of it. A file that
// changed is read again at the next round. One that cannot be played any more, or has become
// another kind of sound, makes the rounds the shortest round of silence, and is tried again only
// once it changes again; once it is whole again, it plays.
TEST(MusicReader, FileIsReadAgainOnlyWhenItChanged) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("bgm.wav").toStdString();
    const auto writeMusic = [&] {
        ASSERT_TRUE(writeSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000, ramp(800)));
    };
    const auto writeStereo = [&] {
        writeSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 8000, ramp(1600));
    };
    const long long fileSize = 800 * 2;
    struct Change {
        const char* what;
        std::function<void()> make;
        bool plays;
        long long readAtTheTry; // at least, in the round after the change
    };
    const std::vector<Change> changes = {
        {"touched",
         [&] {
             const timespec later[2] = {{std::time(nullptr) + 10, 0}, {std::time(nullptr) + 10, 0}};
             utimensat(AT_FDCWD, path.c_str(), later, 0);
         },
         true, fileSize},
        {"written anew, the same", [&] { std::filesystem::remove(path), writeMusic(); }, true,
         fileSize},
        {"emptied", [&] { writeFile(path, ""); }, false, 0},
        {"removed", [&] { std::filesystem::remove(path); }, false, 0},
        {"a named pipe", [&] { std::filesystem::remove(path), mkfifo(path.c_str(), 0600); }, false,
         0},
        {"stereo now", writeStereo, false, 44}, // its header
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        std::filesystem::remove(path);
        writeMusic();
        MusicReader reader(std::chrono::milliseconds(20), sound::mostBytesHeldWhole);
        ASSERT_EQ(reader.open(path), "");
        const std::vector<std::byte> sound = readToEnd(reader);
        std::string problem;
        std::vector<std::byte> heard;
        const auto readInARound = [&] {
            const long long before = bytesReadSoFar();
            problem = reader.rewind();
            heard = readToEnd(reader);
            return bytesReadSoFar() - before;
        };
        // What reading /proc/self/io costs, give or take a digit.
        const long long nothing = readInARound();
        EXPECT_LT(nothing, 400) << "an unchanged file is read again";
        EXPECT_TRUE(heard == sound);
        change.make();
        EXPECT_GE(readInARound(), nothing + change.readAtTheTry)
            << "the changed file is not read again";
        EXPECT_EQ(problem == "", change.plays) << problem;
        EXPECT_TRUE(heard == (change.plays ? sound : std::vector<std::byte>(160 * sizeof(float))))
            << "neither the sound nor 20 ms of silence";
        const std::string firstProblem = problem;
        EXPECT_LT(readInARound(), nothing + 8) << "an unchanged file is tried again";
        EXPECT_EQ(problem, firstProblem);
        std::filesystem::remove(path);
        writeMusic();
        EXPECT_GE(readInARound(), fileSize);
        EXPECT_EQ(problem, "");
        EXPECT_TRUE(heard == sound);
    }
}

// What decoders print on their own about a damaged file (libmpg123's notes on a damaged MP3) is not
// printed but counted for the game's one line about the file, the first of them kept; whether the
// sound is held whole or decoded again at every round. Another thread's lines meanwhile pass on.
TEST(MusicReader, DecoderLinesAreHeldForTheGamesLine) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("bgm.wav").toStdString();
    ASSERT_TRUE(writeDamagedMp3(path));
    for (const std::size_t heldWhole : {std::size_t(0), sound::mostBytesHeldWhole}) {
        SCOPED_TRACE(heldWhole > 0 ? "held whole" : "read again");
        testing::internal::CaptureStderr();
        MusicReader reader(std::chrono::milliseconds(200), heldWhole);
        const std::string problem = reader.open(path);
        std::thread other([] { std::fprintf(stderr, "another thread's line\n"); });
        other.join();
        for (int round = 0; round < 3; ++round) {
            readToEnd(reader);
            reader.rewind();
        }
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(problem, "");
        EXPECT_EQ(said, "another thread's line\n");
        const common::LibraryMessages& held = reader.libraryMessages();
        EXPECT_GE(held.lines, 3 * (heldWhole > 0 ? 1 : 3)) << "not counted at every round";
        EXPECT_TRUE(held.first.starts_with("Note: Illegal Audio-MPEG-Header")) << held.first;
        EXPECT_EQ(sound::decoderLinesSaid(held),
                  " (lines the decoder printed: " + std::to_string(held.lines) + ", the first: \"" +
                      held.first + "\")");
    }
    EXPECT_EQ(sound::decoderLinesSaid({}), "");
}

// What a pack's author learns of a music file: its format as libsndfile names it, its length and
// whether it loops; or why the game would not play it.
TEST(MusicReader, CheckNamesFormatLengthAndLoop) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("bgm.wav").toStdString();
    struct Case {
        int format;
        int channels;
        int rate;
        const char* described;
    };
    const std::vector<Case> cases = {
        {SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 1, 22050, "WAV, IMA ADPCM, 22050 Hz, mono"},
        {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2, 44100, "FLAC, Signed 16 bit PCM, 44100 Hz, stereo"},
        {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 6, 8000, "WAV, Signed 16 bit PCM, 8000 Hz, 6 channels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.described);
        ASSERT_TRUE(writeSound(path, c.format, c.channels, c.rate, ramp(c.rate * c.channels)));
        const check::MusicCheck check = check::checkMusic(path);
        EXPECT_EQ(check.problem, "");
        EXPECT_EQ(check.format, c.described);
        EXPECT_NEAR(check.seconds, 1, 0.05);
        EXPECT_TRUE(check.loops);
    }
    writeFile(path, "not music");
    const check::MusicCheck check = check::checkMusic(path);
    EXPECT_NE(check.problem, "");
    EXPECT_FALSE(check.loops);
    ASSERT_TRUE(writeFlacWithPadding(path, std::int64_t(1) << 30));
    EXPECT_EQ(check::checkMusic(path).problem, "reads more than 32 MiB before its first sound");
}
