// The game's own hot paths, through the real window off screen:
// - the thinking tick with its bar redraws (goal < 20 us), and the tick plus a
//   full repaint of the window for scale;
// - ShowPicture for a 300x300, a 1920x1080 and a 6000x4000 JPEG (goals 2, 10
//   and 40 ms), next to a plain QImageReader::read of the same file: once as a
//   choice shows a scene the game prepared at start-up, once for a picture
//   shown unprepared (the first scene at start-up, or one the player changed).
// Run: build/bench/bench_game (it sets the offscreen platform itself).

#include "app/frm.h"
#include "platform/mci.h"
#include "platform/random.h"

#include <QApplication>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <random>

namespace {

class SilentMci final : public platform::MciInterface {
public:
    std::int32_t mciSendStringA(const char*, char*, std::uint32_t, std::intptr_t) override {
        return platform::mci_error::invalidDeviceName;
    }
};

// A steady source so that every tick does the same amount of work.
class SteadyRandom final : public platform::RandomSource {
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

// The game's own scenes small, so that what it prepares at start-up costs next to nothing; the
// measured pictures under names of their own.
void writeScenes() {
    QDir(assetFolder().path()).mkdir("img");
    for (const char* name : {"0", "1", "2", "3", "4", "end0", "end1"}) {
        photoLike({64, 48}).save(assetFolder().filePath(QString("img/%1.jpg").arg(name)), "JPEG");
    }
    const std::pair<const char*, QSize> scenes[] = {
        {"small", {300, 300}}, {"screen", {1920, 1080}}, {"camera", {6000, 4000}}};
    for (const auto& [name, size] : scenes) {
        photoLike(size).save(assetFolder().filePath(QString("img/%1.jpg").arg(name)), "JPEG", 90);
    }
}

struct Game {
    Game() : frm({assetFolder().path().toStdString(), 15360}, random, music) {
        frm.Form_Load();
        frm.form().widget().show();
    }
    SteadyRandom random;
    SilentMci music;
    app::Frm frm;
};

// Keeps the moods away from the endings so that the tick never stops.
void keepPlaying(app::Frm& frm) {
    for (std::uint8_t kind = 0; kind <= 2; ++kind) {
        frm.moods().Mood(0, kind) = 0;
        frm.moods().Mood(1, kind) = 0;
    }
}

void ThinkingTick(benchmark::State& state) {
    Game game;
    int ticks = 0;
    for (auto _ : state) {
        game.frm.moods().timOpt_Timer();
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
        game.frm.moods().timOpt_Timer();
        game.frm.form().widget().repaint();
        if (++ticks % 8 == 0) {
            state.PauseTiming();
            keepPlaying(game.frm);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(ThinkingTickAndRepaint)->Unit(benchmark::kMicrosecond);

// As a choice shows a scene: prepared in the background beforehand.
void ShowPicture(benchmark::State& state, const char* name) {
    Game game;
    media::ScenePicture scene(game.frm.form().pictureBox("Pic"), game.frm.form().pictureBox("E"),
                              game.frm.ImgDir);
    scene.PreparePictures({name});
    scene.ShowPicture(name); // waits for the preparation
    for (auto _ : state) {
        scene.ShowPicture(name);
    }
}

// Read and decoded on the spot.
void ShowPictureUnprepared(benchmark::State& state, const char* name) {
    Game game;
    media::ScenePicture scene(game.frm.form().pictureBox("Pic"), game.frm.form().pictureBox("E"),
                              game.frm.ImgDir);
    for (auto _ : state) {
        scene.ShowPicture(name);
    }
}

void PlainRead(benchmark::State& state, const char* name) {
    const QString path = assetFolder().filePath(QString("img/%1.jpg").arg(name));
    for (auto _ : state) {
        QImageReader reader(path);
        const QImage image = reader.read();
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK_CAPTURE(ShowPicture, 300x300, "small")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ShowPictureUnprepared, 300x300, "small")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PlainRead, 300x300, "small")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ShowPicture, 1920x1080, "screen")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ShowPictureUnprepared, 1920x1080, "screen")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PlainRead, 1920x1080, "screen")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ShowPicture, 6000x4000, "camera")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ShowPictureUnprepared, 6000x4000, "camera")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PlainRead, 6000x4000, "camera")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    writeScenes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
