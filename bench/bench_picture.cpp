// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// Load-and-draw cost of a scene picture into a 340 x 320 picture box, for a small, a screen-sized
// and a camera-sized JPEG, next to a plain full decode of the same file as the baseline.
// Goals: 300x300 <= 2 ms, 1920x1080 <= 10 ms, 6000x4000 <= 40 ms per load and draw. Baselines
// from the same run: a plain full decode, and libjpeg's cheapest (1/8 scale) decode.

#include "files/picture.h"
#include "test_pictures.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <random>
#include <string>

namespace {

const QSize kTargetSize(340, 320);

// Smooth gradients with grain, which compresses about like a photograph.
QImage photoLikeImage(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    std::mt19937 generator(42);
    std::uniform_int_distribution<int> grain(-12, 12);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int red = 255 * x / size.width();
            const int green = 255 * y / size.height();
            const int blue = 128 + (x + y) % 64;
            const int noise = grain(generator);
            line[x] = qRgb(std::clamp(red + noise, 0, 255), std::clamp(green + noise, 0, 255),
                           std::clamp(blue + noise, 0, 255));
        }
    }
    return image;
}

void loadAndDraw(benchmark::State& state, const std::string& path) {
    QImage canvas(kTargetSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        const files::Picture picture = files::LoadPicture(testPictureDecoder(), path, kTargetSize);
        QPainter painter(&canvas);
        picture.draw(painter, QRectF(QPointF(0, 0), kTargetSize));
        painter.end();
        benchmark::DoNotOptimize(canvas.constBits());
    }
}

void plainRead(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        QImageReader reader(QString::fromStdString(path));
        const QImage image = reader.read();
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The least libjpeg can do: decode at 1/8 per side, which still walks all of the compressed data.
void eighthScaleRead(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        QImageReader reader(QString::fromStdString(path));
        reader.setScaledSize(reader.size() / 8);
        const QImage image = reader.read();
        benchmark::DoNotOptimize(image.constBits());
    }
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir directory;
    for (const QSize size : {QSize(300, 300), QSize(1920, 1080), QSize(6000, 4000)}) {
        const QString name = QString("%1x%2").arg(size.width()).arg(size.height());
        const std::string path = directory.filePath(name + ".jpg").toStdString();
        photoLikeImage(size).save(QString::fromStdString(path), "JPG", 90);
        benchmark::RegisterBenchmark(("LoadAndDraw/" + name).toStdString().c_str(), loadAndDraw,
                                     path)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("PlainRead/" + name).toStdString().c_str(), plainRead, path)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("EighthScaleRead/" + name).toStdString().c_str(),
                                     eighthScaleRead, path)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
