// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "music.h"

#include "noise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>

namespace {

constexpr double kBeatSeconds = 0.75;
constexpr int kBeatsPerBar = 4;
constexpr int kBarCount = 8;
constexpr double kPeakLevel = 0.55;
constexpr double kReleaseSeconds = 0.45;
constexpr double kAttackSeconds = 0.006;

struct Timbre {
    std::array<double, 4> harmonics; // amplitudes of partials 1 to 4
    double decaySeconds;             // of the fundamental, for a note near A3
    double tine;                     // the short bright ping at the attack
};

// Soft electric-piano voices: few partials, the upper ones dying first.
constexpr Timbre kChordVoice{{1.0, 0.3, 0.1, 0.04}, 2.4, 0.05};
constexpr Timbre kBassVoice{{1.0, 0.45, 0.12, 0.03}, 3.2, 0.0};
constexpr Timbre kTuneVoice{{1.0, 0.22, 0.08, 0.03}, 1.8, 0.1};

struct Note {
    double beat;
    double beats;
    int pitch; // MIDI note number
    double velocity;
    const Timbre* voice;
};

// One bar of accompaniment: the bass note, the chord rolled on the first beat
// and the softer answer on the third.
struct Bar {
    int bass;
    std::vector<int> chord;
    std::vector<int> answer;
};

// Am9 - Fmaj9 - Cmaj7 - G6 - Dm9 - Am7 - Fmaj7 - Esus4/E7, back to Am9.
const std::array<Bar, kBarCount> kBars{{
    {45, {60, 64, 67, 71}, {67, 71}},
    {41, {57, 60, 64, 67}, {64, 67}},
    {48, {55, 59, 64, 67}, {64, 67}},
    {43, {59, 62, 64, 67}, {62, 67}},
    {38, {53, 57, 60, 64}, {60, 64}},
    {45, {55, 60, 64, 67}, {60, 67}},
    {41, {57, 60, 64, 69}, {64, 69}},
    {40, {57, 59, 64}, {56, 59, 62, 64}},
}};

struct TuneNote {
    int bar;
    double beat;
    double beats;
    int pitch;
};

const std::vector<TuneNote> kTune{
    {0, 0, 2, 76},     {0, 2, 1, 79},     {0, 3, 1, 76},   {1, 0, 3, 72},     {1, 3, 1, 69},
    {2, 0, 1.5, 71},   {2, 1.5, 0.5, 72}, {2, 2, 2, 76},   {3, 0, 3, 74},     {4, 0, 1.5, 77},
    {4, 1.5, 0.5, 76}, {4, 2, 1, 74},     {4, 3, 1, 72},   {5, 0, 2, 76},     {5, 2, 2, 69},
    {6, 0, 1, 72},     {6, 1, 1, 76},     {6, 2, 1.5, 79}, {6, 3.5, 0.5, 76}, {7, 0, 1.5, 74},
    {7, 1.5, 0.5, 72}, {7, 2, 2, 71},
};

std::size_t loopLength() {
    return static_cast<std::size_t>(
        std::lround(kBarCount * kBeatsPerBar * kBeatSeconds * kMusicSampleRate));
}

double frequencyOf(int pitch) {
    return 440.0 * std::pow(2.0, (pitch - 69) / 12.0);
}

// Adds one note into the circular loop: what rings past the end continues
// at the start.
void addNote(std::vector<double>& loop, const Note& note) {
    const Timbre& timbre = *note.voice;
    constexpr double twoPi = 2.0 * std::numbers::pi;
    const double frequency = frequencyOf(note.pitch);
    const double decay = timbre.decaySeconds * std::pow(220.0 / frequency, 0.3);
    const double held = note.beats * kBeatSeconds;
    const double duration = held + 4.0 * kReleaseSeconds;
    const auto start = static_cast<long>(std::lround(note.beat * kBeatSeconds * kMusicSampleRate));
    const auto count = static_cast<long>(duration * kMusicSampleRate);
    const auto size = static_cast<long>(loop.size());

    for (long n = 0; n < count; ++n) {
        const double t = static_cast<double>(n) / kMusicSampleRate;
        double value = 0.0;
        for (std::size_t k = 0; k < timbre.harmonics.size(); ++k) {
            const double partial = static_cast<double>(k + 1);
            value += timbre.harmonics[k] * std::exp(-t * (1.0 + 0.9 * k) / decay) *
                     std::sin(twoPi * frequency * partial * t);
        }
        // A faint detuned twin gives the slow shimmer of a real instrument.
        value += 0.25 * std::exp(-t / decay) * std::sin(twoPi * frequency * 1.0023 * t + 1.0);
        value += timbre.tine * std::exp(-t / 0.07) * std::sin(twoPi * frequency * 7.0 * t);

        double envelope = std::min(1.0, t / kAttackSeconds);
        if (t > held) {
            envelope *= std::exp(-(t - held) / kReleaseSeconds);
        }
        const long index = ((start + n) % size + size) % size;
        loop[static_cast<std::size_t>(index)] += note.velocity * envelope * value;
    }
}

std::vector<Note> accompaniment(Random& random) {
    std::vector<Note> notes;
    auto humanised = [&](double beat) { return beat + random.between(-0.012, 0.012); };
    auto velocity = [&](double level) { return level * random.between(0.85, 1.05); };
    for (int bar = 0; bar < kBarCount; ++bar) {
        const Bar& chords = kBars[static_cast<std::size_t>(bar)];
        const double downbeat = bar * kBeatsPerBar;
        notes.push_back({humanised(downbeat), 4.0, chords.bass, velocity(0.42), &kBassVoice});
        double roll = 0.0;
        for (int pitch : chords.chord) {
            notes.push_back(
                {humanised(downbeat + roll), 3.8 - roll, pitch, velocity(0.2), &kChordVoice});
            roll += 0.045;
        }
        for (int pitch : chords.answer) {
            notes.push_back({humanised(downbeat + 2.0), 1.9, pitch, velocity(0.12), &kChordVoice});
        }
    }
    return notes;
}

std::vector<Note> tune(Random& random) {
    std::vector<Note> notes;
    for (const TuneNote& note : kTune) {
        const double beat = note.bar * kBeatsPerBar + note.beat + random.between(-0.01, 0.01);
        notes.push_back(
            {beat, note.beats * 0.95, note.pitch, 0.34 * random.between(0.85, 1.0), &kTuneVoice});
    }
    return notes;
}

// A lowpass feedback comb, one strand of the small room reverb.
class Comb {
public:
    Comb(std::size_t delay, double feedback) : buffer_(delay, 0.0), feedback_(feedback) {}
    double process(double input) {
        const double delayed = buffer_[index_];
        damped_ = delayed * 0.7 + damped_ * 0.3;
        buffer_[index_] = input + damped_ * feedback_;
        index_ = (index_ + 1) % buffer_.size();
        return delayed;
    }

private:
    std::vector<double> buffer_;
    double feedback_;
    double damped_ = 0.0;
    std::size_t index_ = 0;
};

class Allpass {
public:
    explicit Allpass(std::size_t delay) : buffer_(delay, 0.0) {}
    double process(double input) {
        const double delayed = buffer_[index_];
        buffer_[index_] = input + delayed * 0.5;
        index_ = (index_ + 1) % buffer_.size();
        return delayed - input;
    }

private:
    std::vector<double> buffer_;
    std::size_t index_ = 0;
};

// The reverb runs twice round the loop and keeps the second round, so the
// echo of the last bars is already sounding when the loop starts again.
std::vector<double> withRoom(const std::vector<double>& dry) {
    std::array<Comb, 4> combs{Comb(557, 0.8), Comb(593, 0.8), Comb(641, 0.8), Comb(677, 0.8)};
    std::array<Allpass, 2> allpasses{Allpass(225), Allpass(341)};
    std::vector<double> wet(dry.size(), 0.0);
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = 0; i < dry.size(); ++i) {
            double sum = 0.0;
            for (Comb& comb : combs) {
                sum += comb.process(dry[i]);
            }
            for (Allpass& allpass : allpasses) {
                sum = allpass.process(sum);
            }
            wet[i] = sum;
        }
    }
    std::vector<double> mixed(dry.size());
    for (std::size_t i = 0; i < dry.size(); ++i) {
        mixed[i] = dry[i] + 0.12 * wet[i];
    }
    return mixed;
}

std::vector<std::int16_t> toPcm(const std::vector<double>& signal) {
    double peak = 0.0;
    for (double value : signal) {
        peak = std::max(peak, std::abs(value));
    }
    const double gain = peak > 0.0 ? kPeakLevel / peak : 0.0;
    std::vector<std::int16_t> pcm;
    pcm.reserve(signal.size());
    for (double value : signal) {
        pcm.push_back(static_cast<std::int16_t>(std::lround(value * gain * 32767.0)));
    }
    return pcm;
}

void putLittleEndian(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

} // namespace

std::vector<std::int16_t> composeMusic() {
    Random random(2024);
    std::vector<double> loop(loopLength(), 0.0);
    for (const Note& note : accompaniment(random)) {
        addNote(loop, note);
    }
    for (const Note& note : tune(random)) {
        addNote(loop, note);
    }
    return toPcm(withRoom(loop));
}

bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples, int sampleRate) {
    std::ofstream out(path, std::ios::binary);
    if (!out) {
        std::fprintf(stderr, "sorawata-assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    putLittleEndian(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    putLittleEndian(out, 16, 4);                                         // format chunk size
    putLittleEndian(out, 1, 2);                                          // PCM
    putLittleEndian(out, 1, 2);                                          // mono
    putLittleEndian(out, static_cast<std::uint32_t>(sampleRate), 4);     // frames per second
    putLittleEndian(out, static_cast<std::uint32_t>(sampleRate * 2), 4); // bytes per second
    putLittleEndian(out, 2, 2);                                          // bytes per frame
    putLittleEndian(out, 16, 2);                                         // bits per sample
    out.write("data", 4);
    putLittleEndian(out, dataBytes, 4);
    for (std::int16_t sample : samples) {
        putLittleEndian(out, static_cast<std::uint16_t>(sample), 2);
    }
    return static_cast<bool>(out);
}
