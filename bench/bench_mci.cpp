// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// Cost of the music poll: the status query runs a thousand times a second for
// the whole game, so it must be cheap and must not allocate.
#include "music/bgm.h"
#include "sound/mci_commands.h"
#include "sound/sound_server_device.h"

#include <array>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

namespace {

std::atomic<long> allocations{0};

class PlayingDevice : public sound::SoundDevice {
public:
    std::int32_t open(const std::string&) override { return 0; }
    std::int32_t play() override { return 0; }
    std::int32_t rewind() override { return 0; }
    sound::DeviceMode mode() const override { return sound::DeviceMode::Playing; }
};

std::unique_ptr<sound::MciCommandInterpreter> openedInterpreter() {
    auto mci = std::make_unique<sound::MciCommandInterpreter>(
        [] { return std::make_unique<PlayingDevice>(); });
    mci->mciSendStringA("open \"/games/sorawata/bgm.wav\" alias MIDI", nullptr, 0, 0);
    return mci;
}

void reportAllocations(benchmark::State& state, long before) {
    state.counters["allocs/call"] = benchmark::Counter(
        static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations()));
}

void StatusQuery(benchmark::State& state) {
    auto mci = openedInterpreter();
    std::array<char, 16> reply;
    const long before = allocations.load();
    for (auto _ : state) {
        reply.fill(' ');
        benchmark::DoNotOptimize(mci->mciSendStringA("status MIDI mode", reply.data(), 15, 0));
        benchmark::DoNotOptimize(reply);
    }
    reportAllocations(state, before);
}
BENCHMARK(StatusQuery);

// The whole tick as the game runs it while the music plays.
void BgmTick(benchmark::State& state) {
    sound::MciCommandInterpreter mci([] { return std::make_unique<PlayingDevice>(); });
    music::Bgm bgm(mci);
    bgm.start("/games/sorawata/bgm.wav");
    const long before = allocations.load();
    for (auto _ : state)
        bgm.BgmTim_Timer();
    reportAllocations(state, before);
}
BENCHMARK(BgmTick);

// A second of silence as a 16-bit mono wave file; returns its path.
std::string writeSilentWave() {
    const std::uint32_t rate = 8000;
    const std::uint32_t dataBytes = rate * 2;
    const auto le32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8),
                           static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
    };
    const std::string header = "RIFF" + le32(36 + dataBytes) + "WAVEfmt " + le32(16) +
                               std::string("\x01\x00\x01\x00", 4) + le32(rate) + le32(rate * 2) +
                               std::string("\x02\x00\x10\x00", 4) + "data" + le32(dataBytes);
    const auto path = std::filesystem::temp_directory_path() / "sorawata-bench-silence.wav";
    std::ofstream(path, std::ios::binary) << header << std::string(dataBytes, '\0');
    return path;
}

// The whole status query to the real device while it waits for a sound server that is not there,
// and asks for one once a second: as cheap as with the music playing.
void StatusQueryWithoutServer(benchmark::State& state) {
    setenv("PULSE_SERVER", "unix:/nonexistent/sorawata-bench/native", 1);
    sound::MciCommandInterpreter mci(sound::makeSoundServerDevice);
    const std::string path = writeSilentWave();
    const std::string open = "open \"" + path + "\" alias MIDI";
    const std::int32_t opened = mci.mciSendStringA(open.c_str(), nullptr, 0, 0);
    std::filesystem::remove(path);
    std::array<char, 16> reply;
    if (opened != 0 || mci.mciSendStringA("status MIDI mode", reply.data(), 15, 0) != 0 ||
        std::string(reply.data()) != "not ready") {
        state.SkipWithError("the device did not wait for an output");
        return;
    }
    const long before = allocations.load();
    for (auto _ : state) {
        reply.fill(' ');
        benchmark::DoNotOptimize(mci.mciSendStringA("status MIDI mode", reply.data(), 15, 0));
        benchmark::DoNotOptimize(reply);
    }
    reportAllocations(state, before);
}
BENCHMARK(StatusQueryWithoutServer);

// Baseline in the same run: a query for another alias, which the interpreter does not understand.
void UnknownAliasQuery(benchmark::State& state) {
    auto mci = openedInterpreter();
    std::array<char, 16> reply;
    for (auto _ : state)
        benchmark::DoNotOptimize(mci->mciSendStringA("status OTHER mode", reply.data(), 15, 0));
}
BENCHMARK(UnknownAliasQuery);

} // namespace

// Kept out of line: inlined, GCC pairs the free() below with a new expression elsewhere in this
// file and warns of a mismatched deallocation.
[[gnu::noinline]] void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

[[gnu::noinline]] void operator delete(void* memory) noexcept {
    std::free(memory);
}
[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

BENCHMARK_MAIN();
