// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "files/picture.h"
#include "test_files.h"
#include "test_pictures.h"

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const QColor kLeftColour(200, 30, 30);
const QColor kRightColour(30, 60, 200);
const QColor kBackground(0, 255, 0);
const QSize kTargetSize(340, 320);

// Left half one colour, right half the other; two palette entries keep even huge ones small.
QImage twoColourImage(QSize size) {
    QImage image(size, QImage::Format_Indexed8);
    image.setColorTable({kLeftColour.rgb(), kRightColour.rgb()});
    for (int y = 0; y < size.height(); ++y) {
        uchar* line = image.scanLine(y);
        std::fill(line, line + size.width() / 2, 0);
        std::fill(line + size.width() / 2, line + size.width(), 1);
    }
    return image;
}

std::string saveImage(const QTemporaryDir& directory, const QImage& image, const char* name,
                      const char* format) {
    const QString path = directory.filePath(name);
    EXPECT_TRUE(image.save(path, format, 90));
    return path.toStdString();
}

// A 4000 x 3000 two-coloured JPEG, written once for all the tests that need it.
const std::string& largeJpeg() {
    static const QTemporaryDir directory;
    static const std::string path =
        saveImage(directory, twoColourImage(QSize(4000, 3000)), "large.jpg", "JPG");
    return path;
}

constexpr int jpegRounding = 16;

// Pixels of `canvas` that are not the expected colour, leaving out a band around the middle where
// the two colours blend.
int mismatchesOfTwoColours(const QImage& canvas, QColor left, QColor right) {
    const int middle = canvas.width() / 2;
    const int blend = 12;
    int mismatches = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (std::abs(x - middle) < blend)
                continue;
            if (!near(canvas.pixelColor(x, y), x < middle ? left : right, jpegRounding))
                ++mismatches;
        }
    }
    return mismatches;
}

int countLines(const std::string& text) {
    return int(std::count(text.begin(), text.end(), '\n'));
}

// Loads a picture to be shown over a target of kTargetSize device pixels.
files::Picture load(const std::string& path, QSize shown = kTargetSize) {
    return files::LoadPicture(testPictureDecoder(), path, shown);
}

class PictureTest : public testing::Test {
protected:
    std::string path(const char* name) const { return directory_.filePath(name).toStdString(); }

    std::string save(const QImage& image, const char* name, const char* format) {
        return saveImage(directory_, image, name, format);
    }

    std::string writeBytes(const QByteArray& bytes, const char* name) {
        test_files::writeFile(path(name), bytes.toStdString());
        return path(name);
    }

    // Draws the picture over the whole of a canvas of kTargetSize logical pixels.
    static QImage drawn(const files::Picture& picture) {
        QImage canvas(kTargetSize, QImage::Format_RGB32);
        canvas.fill(kBackground);
        QPainter painter(&canvas);
        picture.draw(painter, QRectF(QPointF(0, 0), kTargetSize));
        painter.end();
        return canvas;
    }

    QTemporaryDir directory_;
};

// A picture shows at its own size in pixels, stretched over the whole target in each direction on
// its own, whatever format its name says: the content decides. Enlarging is the painter's job.
TEST_F(PictureTest, ShowsStretchedOverTheWholeTarget) {
    const struct {
        const char* name;
        const char* format;
        QSize size;
        QSize decoded;
    } cases[] = {
        {"tall.png", "PNG", QSize(38, 101), QSize(38, 101)},
        {"scene.jpg", "PNG", QSize(38, 101), QSize(38, 101)},
        {"wide.jpg", "JPG", QSize(600, 90), QSize(340, 90)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const files::Picture picture = load(save(twoColourImage(c.size), c.name, c.format));
        ASSERT_EQ(picture.size(), c.size);
        EXPECT_EQ(picture.decodedSize(), c.decoded);
        EXPECT_EQ(mismatchesOfTwoColours(drawn(picture), kLeftColour, kRightColour), 0);
    }
}

// A picture larger than the size it is shown at is decoded at that size, in each direction on its
// own, and never larger than itself; it still keeps its own size.
TEST_F(PictureTest, DecodedAtTheSizeShown) {
    const std::vector<std::pair<QSize, QSize>> shownAndDecoded = {
        {kTargetSize, kTargetSize},
        {kTargetSize * 2, kTargetSize * 2},
        {QSize(8000, 100), QSize(4000, 100)},
        {QSize(0, 0), QSize(1, 1)},
    };
    for (const auto& [shown, decoded] : shownAndDecoded) {
        const files::Picture picture = load(largeJpeg(), shown);
        EXPECT_EQ(picture.size(), QSize(4000, 3000));
        EXPECT_EQ(picture.decodedSize(), decoded) << shown.width() << " x " << shown.height();
    }
    EXPECT_EQ(mismatchesOfTwoColours(drawn(load(largeJpeg())), kLeftColour, kRightColour), 0);
}

// Every load reads the file again: a picture replaced on disk shows the new one.
TEST_F(PictureTest, EveryLoadReadsTheFileAgain) {
    const std::string file = save(twoColourImage(QSize(38, 101)), "scene.png", "PNG");
    const files::Picture first = load(file);
    save(twoColourImage(QSize(50, 20)).mirrored(true, false), "scene.png", "PNG");
    const files::Picture second = load(file);
    EXPECT_EQ(first.size(), QSize(38, 101));
    EXPECT_EQ(second.size(), QSize(50, 20));
    EXPECT_EQ(mismatchesOfTwoColours(drawn(second), kRightColour, kLeftColour), 0);
}

// A requested picture comes back at once, while the decoder works (this one never answers), and
// arrives when first looked at, by any of its copies, or when the next is asked for: the line about
// a file that nothing looked at is told then, once, before the next file's. The event loop brings
// it too, as soon as it comes, and ends one that takes too long at its deadline, with its line.
TEST_F(PictureTest, RequestedPictureArrivesWhenLookedAtWhenTheNextIsAskedOrByItself) {
    const std::string good = save(twoColourImage(QSize(38, 101)), "good.png", "PNG");
    const std::string text = writeBytes(QByteArray(64, 'x'), "text.jpg");
    {
        files::PictureDecoder silent("/bin/sleep", files::PictureDecoder::Start::AtOnce,
                                     std::chrono::hours(1));
        files::RequestPicture(silent, good, kTargetSize);
    }
    testing::internal::CaptureStderr();
    files::RequestPicture(testPictureDecoder(), text, kTargetSize);
    const files::Picture coming = files::RequestPicture(testPictureDecoder(), good, kTargetSize);
    const files::Picture copy = coming;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("sorawata: " + text + ": not a JPEG, PNG, GIF or BMP picture", 0), 0u)
        << said;
    EXPECT_EQ(countLines(said), 1) << said;
    EXPECT_EQ(copy.size(), QSize(38, 101));
    EXPECT_EQ(mismatchesOfTwoColours(drawn(coming), kLeftColour, kRightColour), 0);

    int arrivals = 0;
    const files::Picture byItself = files::RequestPicture(
        testPictureDecoder(), good, kTargetSize, [&] { ++arrivals; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !byItself.onItsWay(); }));
    EXPECT_EQ(arrivals, 1);
    EXPECT_EQ(byItself.size(), QSize(38, 101));

    files::PictureDecoder silent("/bin/sleep", files::PictureDecoder::Start::AtOnce,
                                 std::chrono::milliseconds(50));
    testing::internal::CaptureStderr();
    const files::Picture late = files::RequestPicture(
        silent, good, kTargetSize, [&] { ++arrivals; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !late.onItsWay(); }));
    const std::string lateSaid = testing::internal::GetCapturedStderr();
    EXPECT_EQ(lateSaid, "sorawata: " + good + ": took longer than 0.05 s to decode\n");
    EXPECT_EQ(arrivals, 2);
    EXPECT_TRUE(late.isEmpty());

    // A decoder held back starts when a picture is finished, or is let start.
    files::PictureDecoder held(SORAWATA_PICTURE_DECODER, files::PictureDecoder::Start::WhenLet);
    EXPECT_EQ(files::LoadPicture(held, good, kTargetSize).size(), QSize(38, 101));
    files::PictureDecoder missing("/nonexistent/decoder", files::PictureDecoder::Start::WhenLet);
    const std::string unseen = save(twoColourImage(QSize(38, 101)), "unseen.png", "PNG");
    const files::Picture never = files::RequestPicture(missing, unseen, kTargetSize);
    testing::internal::CaptureStderr();
    missing.letStart();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !never.onItsWay(); }));
    const std::string missingSaid = testing::internal::GetCapturedStderr();
    EXPECT_EQ(missingSaid.rfind("sorawata: " + unseen +
                                    ": cannot be decoded (the picture decoder cannot be started: ",
                                0),
              0u)
        << missingSaid;
    EXPECT_EQ(countLines(missingSaid), 1) << missingSaid;
}

// A file that gives no picture (missing, no picture at all, empty, or no regular file, which is not
// waited on) draws nothing and is one line naming the file, once however often it is loaded.
TEST_F(PictureTest, RefusedFileIsOneLine) {
    std::mt19937 generator(7);
    QByteArray noise(4096, '\0');
    for (char& byte : noise)
        byte = char(generator());
    writeBytes(noise, "noise.jpg");
    writeBytes(QByteArray(), "empty.jpg");
    ASSERT_EQ(mkfifo(path("pipe.jpg").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", path("zero.jpg").c_str()), 0);
    ASSERT_TRUE(QDir(directory_.path()).mkdir("folder.jpg"));
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"missing.jpg", "No such file or directory"},
        {"noise.jpg", "not a JPEG, PNG, GIF or BMP picture"},
        {"empty.jpg", "not a JPEG, PNG, GIF or BMP picture"},
        {"pipe.jpg", "not a regular file"},
        {"zero.jpg", "not a regular file"},
        {"folder.jpg", "not a regular file"},
    };
    for (const auto& [name, problem] : cases) {
        testing::internal::CaptureStderr();
        const files::Picture first = load(path(name));
        const files::Picture second = load(path(name));
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(first.isEmpty() && second.isEmpty()) << name;
        EXPECT_EQ(errors.rfind("sorawata: " + path(name) + ": " + problem, 0), 0u) << errors;
        EXPECT_EQ(countLines(errors), 1) << errors;
        EXPECT_EQ(drawn(first).pixelColor(170, 160), kBackground);
    }
}

// A JPEG cut off half way still loads and shows the part that was decoded. libjpeg's warning
// about it names no file: it goes into the one line that does, once, however often it is loaded.
TEST_F(PictureTest, TruncatedJpegShowsWhatDecoded) {
    const QByteArray whole = QByteArray::fromStdString(
        test_files::readFile(save(twoColourImage(QSize(600, 400)), "whole.jpg", "JPG")));
    const std::string file = writeBytes(whole.left(whole.size() / 2), "cut.jpg");
    testing::internal::CaptureStderr();
    const files::Picture picture = load(file);
    load(file);
    const std::string errors = testing::internal::GetCapturedStderr();
    ASSERT_FALSE(picture.isEmpty());
    const QImage canvas = drawn(picture);
    EXPECT_TRUE(near(canvas.pixelColor(5, 5), kLeftColour, jpegRounding))
        << canvas.pixelColor(5, 5).name().toStdString();
    EXPECT_TRUE(near(canvas.pixelColor(335, 5), kRightColour, jpegRounding));
    EXPECT_EQ(countLines(errors), 1) << errors;
    EXPECT_NE(errors.find(file + ": damaged picture (Corrupt JPEG data"), std::string::npos)
        << errors;
}

// A picture followed by a gibibyte of zeros shows whole.
TEST_F(PictureTest, WhatFollowsThePictureChangesNothing) {
    const std::string file = save(twoColourImage(QSize(300, 300)), "padded.jpg", "JPG");
    test_files::writeFile(file, test_files::readFile(file), 1ull << 30);
    testing::internal::CaptureStderr();
    const files::Picture picture = load(file);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(mismatchesOfTwoColours(drawn(picture), kLeftColour, kRightColour), 0);
}

// A GIF whose canvas is implausibly taller than its one frame loads with the frame's size, and is
// decoded no larger than that, not at the canvas size.
TEST_F(PictureTest, GifCanvasLargerThanItsFrameDecodesAtThePicturesSize) {
    const QByteArray gif = QByteArray::fromHex("474946383961"         // GIF89a
                                               "04003075f00000"       // canvas 4 x 30000
                                               "ffff00000000"         // two colours
                                               "21f9040000000000"     // graphic control
                                               "2c000000000400040000" // frame 4 x 4
                                               "0204848f0905003b");   // pixels, trailer
    const files::Picture picture = load(writeBytes(gif, "canvas.gif"));
    ASSERT_EQ(picture.size(), QSize(4, 4));
    EXPECT_EQ(picture.decodedSize(), QSize(4, 4));
}

} // namespace
