// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// The game's own hot paths, through the real window off screen:
// - the thinking tick with its bar redraws (goal < 20 us), and the tick plus a
//   full repaint of the window for scale;
// - ShowPicture for a 300x300, a 1364x1364 (the default scenes' size), a
//   1920x1080 and a 6000x4000 JPEG, read and decoded on the spot as every
//   choice does, against the cheapest decode libjpeg-turbo can do of the same
//   file for the same picture box. Goal: at most 1.15 times that decode; the
//   ratios are printed after the table.
// Run: build/bench_game --benchmark_repetitions=10 (it sets the offscreen platform itself).

#include "app/frm.h"
#include "common/random.h"
#include "silent_mci.h"
#include "test_pictures.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace {

// A steady source so that every tick does the same amount of work.
class SteadyRandom final : public common::RandomSource {
public:
    void randomize() override {}
    double next() override { return 0.55; }
};

QTemporaryDir& assetFolder() {
    static QTemporaryDir folder;
    return folder;
}

QImage photoLike(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    std::mt19937 generator(7);
    std::uniform_int_distribution<int> grain(0, 24);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            line[x] = qRgb((x * 200 / size.width()) + grain(generator),
                           (y * 200 / size.height()) + grain(generator), 120 + grain(generator));
        }
    }
    return image;
}

const std::pair<const char*, QSize> measuredPictures[] = {{"300x300", {300, 300}},
                                                          {"1364x1364", {1364, 1364}},
                                                          {"1920x1080", {1920, 1080}},
                                                          {"6000x4000", {6000, 4000}}};

// The game's own scenes small, so that the first scene costs next to nothing; the measured
// pictures under names of their own.
void writeScenes() {
    QDir(assetFolder().path()).mkdir("img");
    for (const char* name : {"0", "1", "2", "3", "4", "end0", "end1"})
        photoLike({64, 48}).save(assetFolder().filePath(QString("img/%1.jpg").arg(name)), "JPEG");
    for (const auto& [name, size] : measuredPictures)
        photoLike(size).save(assetFolder().filePath(QString("img/%1.jpg").arg(name)), "JPEG", 90);
}

struct Game {
    Game() : frm(assetFolder().path().toStdString(), 15360, random, music, testPictureDecoder()) {
        frm.Form_Load();
        frm.show();
    }
    SteadyRandom random;
    SilentMci music;
    app::Frm frm;
};

// Keeps the moods away from the endings so that the tick never stops.
void keepPlaying(app::Frm& frm) {
    frm.moods().newGame();
}

void ThinkingTick(benchmark::State& state) {
    Game game;
    int ticks = 0;
    for (auto _ : state) {
        game.frm.timOpt_Timer();
        if (++ticks % 8 == 0) {
            state.PauseTiming();
            keepPlaying(game.frm);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(ThinkingTick);

void ThinkingTickAndRepaint(benchmark::State& state) {
    Game game;
    int ticks = 0;
    for (auto _ : state) {
        game.frm.timOpt_Timer();
        game.frm.repaint();
        if (++ticks % 8 == 0) {
            state.PauseTiming();
            keepPlaying(game.frm);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(ThinkingTickAndRepaint)->Unit(benchmark::kMicrosecond);

// As a choice shows a scene: read, decoded and painted on the picture.
void ShowPicture(benchmark::State& state, const char* name) {
    Game game;
    QWidget& pic = *game.frm.findChild<QWidget*>("Pic");
    for (auto _ : state) {
        game.frm.ShowPicture(name);
        testPictureDecoder().finish(); // as a player waits for the scene
        pic.repaint();
    }
}

// The least libjpeg-turbo can do to fill `box` device pixels from a JPEG file: read it, decode
// at the smallest DCT scale (n/8, n from 1 to 16) not below the box, with the fast integer
// IDCT, no fancy upsampling and no block smoothing, straight into 32-bit pixels as a screen
// takes them. It leaves the last step, fitting that to the box, undone.
QImage cheapestDecode(const std::string& path, QSize box) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.scale_denom = 8;
    for (info.scale_num = 1; info.scale_num < 16; ++info.scale_num) {
        jpeg_calc_output_dimensions(&info);
        if (int(info.output_width) >= box.width() && int(info.output_height) >= box.height())
            break;
    }
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
    info.do_block_smoothing = FALSE;
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    QImage image(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return image;
}

void CheapestDecode(benchmark::State& state, const char* name) {
    Game game; // for the picture box's size in device pixels
    const QWidget& pic = *game.frm.findChild<QWidget*>("Pic");
    const QSize box = pic.size() * pic.devicePixelRatio();
    const std::string path = assetFolder().filePath(QString("img/%1.jpg").arg(name)).toStdString();
    for (auto _ : state) {
        const QImage image = cheapestDecode(path, box);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The usual table, then ShowPicture's time over the cheapest decode's for each picture, the
// fastest of --benchmark_repetitions (other programs on the machine only ever add time): wall
// time, and the CPU time of the whole process, which counts the work Qt hands to its own threads.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                wall_[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
                cpu_[run.run_name.function_name].push_back(run.GetAdjustedCPUTime());
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf(
            "\nShowPicture against libjpeg-turbo's cheapest decode (goal: ratio <= 1.15)\n");
        std::printf("%-10s %11s %11s %6s %11s %11s %6s\n", "picture", "wall", "libjpeg", "ratio",
                    "CPU", "libjpeg", "ratio");
        for (const auto& [name, size] : measuredPictures) {
            const std::string shown = std::string("ShowPicture/") + name;
            const std::string decoded = std::string("CheapestDecode/") + name;
            const double wallShown = fastest(wall_[shown]);
            const double wallDecoded = fastest(wall_[decoded]);
            const double cpuShown = fastest(cpu_[shown]);
            const double cpuDecoded = fastest(cpu_[decoded]);
            if (wallDecoded > 0 && cpuDecoded > 0)
                std::printf("%-10s %8.3f ms %8.3f ms %6.2f %8.3f ms %8.3f ms %6.2f\n", name,
                            wallShown, wallDecoded, wallShown / wallDecoded, cpuShown, cpuDecoded,
                            cpuShown / cpuDecoded);
        }
    }

private:
    static double fastest(const std::vector<double>& times) {
        return times.empty() ? 0 : *std::min_element(times.begin(), times.end());
    }

    // In the benchmarks' unit, ms here.
    std::map<std::string, std::vector<double>> wall_;
    std::map<std::string, std::vector<double>> cpu_;
};

void registerPictureBenchmarks() {
    for (const auto& [name, size] : measuredPictures) {
        benchmark::RegisterBenchmark((std::string("ShowPicture/") + name).c_str(), ShowPicture,
                                     name)
            ->MeasureProcessCPUTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("CheapestDecode/") + name).c_str(),
                                     CheapestDecode, name)
            ->MeasureProcessCPUTime()
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    writeScenes();
    registerPictureBenchmarks();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
