// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "platform/picture.h"

#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>
#include <string>

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

bool isNear(QColor actual, QColor expected) {
    const int tolerance = 16; // JPEG rounding
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

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
            if (!isNear(canvas.pixelColor(x, y), x < middle ? left : right))
                ++mismatches;
        }
    }
    return mismatches;
}

int countLines(const std::string& text) {
    return int(std::count(text.begin(), text.end(), '\n'));
}

class PictureTest : public testing::Test {
protected:
    std::string path(const char* name) const { return directory_.filePath(name).toStdString(); }

    std::string save(const QImage& image, const char* name, const char* format) {
        return saveImage(directory_, image, name, format);
    }

    std::string writeBytes(const QByteArray& bytes, const char* name) {
        QFile file(directory_.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path(name);
    }

    QByteArray readBytes(const std::string& filePath) {
        QFile file(QString::fromStdString(filePath));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    // Draws `source` of the picture over the whole of a canvas of kTargetSize logical pixels.
    static QImage drawn(const platform::Picture& picture, const QRectF& source,
                        qreal pixelRatio = 1.0) {
        QImage canvas(kTargetSize * pixelRatio, QImage::Format_RGB32);
        canvas.setDevicePixelRatio(pixelRatio);
        canvas.fill(kBackground);
        QPainter painter(&canvas);
        picture.draw(painter, QRectF(QPointF(0, 0), kTargetSize), source);
        painter.end();
        return canvas;
    }

    static QImage drawnWhole(const platform::Picture& picture) {
        return drawn(picture, QRectF(QPointF(0, 0), picture.size()));
    }

    QTemporaryDir directory_;
};

// The picture's size comes from the file, in pixels.
TEST_F(PictureTest, SizeIsThePicturesOwn) {
    const platform::Picture picture =
        platform::LoadPicture(save(twoColourImage(QSize(38, 101)), "tall.png", "PNG"));
    EXPECT_FALSE(picture.isEmpty());
    EXPECT_EQ(picture.size(), QSize(38, 101));
}

// The content decides the format, whatever the file's name says.
TEST_F(PictureTest, PngNamedJpgStillShows) {
    const platform::Picture picture =
        platform::LoadPicture(save(twoColourImage(QSize(38, 101)), "scene.jpg", "PNG"));
    ASSERT_EQ(picture.size(), QSize(38, 101));
    EXPECT_EQ(mismatchesOfTwoColours(drawnWhole(picture), kLeftColour, kRightColour), 0);
}

// A narrow picture fills a wide target completely, stretched in each direction on its own.
TEST_F(PictureTest, SmallPictureIsStretchedOverTheWholeTarget) {
    const platform::Picture picture =
        platform::LoadPicture(save(twoColourImage(QSize(38, 101)), "tall.png", "PNG"));
    EXPECT_EQ(mismatchesOfTwoColours(drawnWhole(picture), kLeftColour, kRightColour), 0);
    EXPECT_EQ(picture.decodedSize(), QSize(38, 101)) << "enlarging is the painter's job";
}

// A flat JPEG fills a taller target completely, with no border.
TEST_F(PictureTest, JpegIsSqueezedOverTheWholeTarget) {
    const platform::Picture picture =
        platform::LoadPicture(save(twoColourImage(QSize(600, 90)), "wide.jpg", "JPG"));
    EXPECT_EQ(mismatchesOfTwoColours(drawnWhole(picture), kLeftColour, kRightColour), 0);
}

// A picture far larger than its target is decoded at the target's size, not at its own.
TEST_F(PictureTest, LargePictureIsDecodedAtTargetSize) {
    const platform::Picture picture = platform::LoadPicture(largeJpeg());
    EXPECT_EQ(mismatchesOfTwoColours(drawnWhole(picture), kLeftColour, kRightColour), 0);
    EXPECT_EQ(picture.decodedSize(), kTargetSize);
}

// On a high-density device the decode follows the device pixels, not the logical ones.
TEST_F(PictureTest, DecodeFollowsDevicePixelRatio) {
    const platform::Picture picture = platform::LoadPicture(largeJpeg());
    const QImage canvas = drawn(picture, QRectF(0, 0, 4000, 3000), 2.0);
    EXPECT_EQ(mismatchesOfTwoColours(canvas, kLeftColour, kRightColour), 0);
    EXPECT_EQ(picture.decodedSize(), kTargetSize * 2);
}

// The source rectangle is in the picture's own pixels, whether or not the decode was scaled.
TEST_F(PictureTest, SourceRectangleIsInPicturePixels) {
    const platform::Picture large = platform::LoadPicture(largeJpeg());
    EXPECT_EQ(mismatchesOfTwoColours(drawn(large, QRectF(2000, 0, 2000, 3000)), kRightColour,
                                     kRightColour),
              0);
    EXPECT_EQ(
        mismatchesOfTwoColours(drawn(large, QRectF(0, 0, 1900, 3000)), kLeftColour, kLeftColour),
        0);
    const platform::Picture small =
        platform::LoadPicture(save(twoColourImage(QSize(38, 101)), "tall.png", "PNG"));
    EXPECT_EQ(
        mismatchesOfTwoColours(drawn(small, QRectF(19, 0, 19, 101)), kRightColour, kRightColour),
        0);
}

// A 9000 x 9000 photo, too big to decode whole under Qt's allocation limit, still shows.
TEST_F(PictureTest, VeryLargeJpegShows) {
    const platform::Picture picture =
        platform::LoadPicture(save(twoColourImage(QSize(9000, 9000)), "huge.jpg", "JPG"));
    ASSERT_FALSE(picture.isEmpty());
    EXPECT_EQ(picture.size(), QSize(9000, 9000));
    EXPECT_EQ(mismatchesOfTwoColours(drawnWhole(picture), kLeftColour, kRightColour), 0);
}

// A compiled-in picture has the size the game gives it, whatever its pixels; like a file's it is
// decoded at the size it is drawn: in device pixels, up to all it holds, and never more. The
// opening picture holds enough for a large screen at twice the scale.
TEST_F(PictureTest, CompiledInPictureHasItsGivenSizeAndDecodesAsDrawn) {
    const int held = QImageReader(":/opening.jpg").size().width();
    EXPECT_GE(held, 1300);
    const platform::Picture opening = platform::Picture::fromResource(":/opening.jpg", {300, 300});
    EXPECT_EQ(opening.size(), QSize(300, 300));
    const struct {
        qreal pixelRatio;
        int decodedWidth;
    } cases[] = {{1.0, kTargetSize.width()}, {2.0, 2 * kTargetSize.width()}, {8.0, held}};
    for (const auto& c : cases) {
        drawn(opening, QRectF(0, 0, 300, 300), c.pixelRatio);
        EXPECT_EQ(opening.decodedSize().width(), c.decodedWidth) << "at " << c.pixelRatio << "x";
    }
    EXPECT_TRUE(platform::Picture::fromResource(":/missing.jpg", {300, 300}).isEmpty());
}

// Every load reads the file again: a picture replaced on disk shows the new one.
TEST_F(PictureTest, EveryLoadReadsTheFileAgain) {
    const std::string file = save(twoColourImage(QSize(38, 101)), "scene.png", "PNG");
    const platform::Picture first = platform::LoadPicture(file);
    save(twoColourImage(QSize(50, 20)).mirrored(true, false), "scene.png", "PNG");
    const platform::Picture second = platform::LoadPicture(file);
    EXPECT_EQ(first.size(), QSize(38, 101));
    EXPECT_EQ(second.size(), QSize(50, 20));
    EXPECT_EQ(mismatchesOfTwoColours(drawnWhole(second), kRightColour, kLeftColour), 0);
}

// A missing file gives no picture, draws nothing, and is reported once, not once per load.
TEST_F(PictureTest, MissingFileIsReportedOnce) {
    const std::string missing = path("missing.jpg");
    testing::internal::CaptureStderr();
    const platform::Picture first = platform::LoadPicture(missing);
    const platform::Picture second = platform::LoadPicture(missing);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(first.isEmpty());
    EXPECT_TRUE(second.isEmpty());
    EXPECT_EQ(countLines(errors), 1) << errors;
    EXPECT_NE(errors.find(missing), std::string::npos) << errors;
    const QImage canvas = drawn(first, QRectF(0, 0, 10, 10));
    EXPECT_EQ(canvas.pixelColor(170, 160), kBackground);
}

// Bytes that are no picture at all give no picture, with one line naming the file.
TEST_F(PictureTest, NonPictureIsRefused) {
    std::mt19937 generator(7);
    QByteArray noise(4096, '\0');
    for (char& byte : noise)
        byte = char(generator());
    const std::string file = writeBytes(noise, "noise.jpg");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(platform::LoadPicture(file).isEmpty());
    EXPECT_TRUE(platform::LoadPicture(writeBytes(QByteArray(), "empty.jpg")).isEmpty());
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(countLines(errors), 2) << errors;
    EXPECT_NE(errors.find(file), std::string::npos) << errors;
}

// A JPEG cut off half way still loads and shows the part that was decoded.
TEST_F(PictureTest, TruncatedJpegShowsWhatDecoded) {
    const QByteArray whole = readBytes(save(twoColourImage(QSize(600, 400)), "whole.jpg", "JPG"));
    const std::string file = writeBytes(whole.left(whole.size() / 2), "cut.jpg");
    const platform::Picture picture = platform::LoadPicture(file);
    ASSERT_FALSE(picture.isEmpty());
    const QImage canvas = drawnWhole(picture);
    EXPECT_TRUE(isNear(canvas.pixelColor(5, 5), kLeftColour))
        << canvas.pixelColor(5, 5).name().toStdString();
    EXPECT_TRUE(isNear(canvas.pixelColor(335, 5), kRightColour));
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
    const platform::Picture picture = platform::LoadPicture(writeBytes(gif, "canvas.gif"));
    ASSERT_EQ(picture.size(), QSize(4, 4));
    drawnWhole(picture);
    EXPECT_EQ(picture.decodedSize(), QSize(4, 4));
}

// A header that claims 60000 x 60000 pixels is refused from the header alone.
TEST_F(PictureTest, AbsurdSizeClaimIsRefused) {
    QByteArray bytes = readBytes(save(twoColourImage(QSize(16, 16)), "small.jpg", "JPG"));
    const qsizetype frame = bytes.indexOf("\xFF\xC0"); // baseline frame header
    ASSERT_GE(frame, 0);
    const char claim[] = {'\xEA', '\x60', '\xEA', '\x60'}; // height, width: 60000 each
    bytes.replace(frame + 5, 4, claim, 4);
    const std::string file = writeBytes(bytes, "claim.jpg");
    testing::internal::CaptureStderr();
    const platform::Picture picture = platform::LoadPicture(file);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(picture.isEmpty());
    EXPECT_NE(errors.find("too large"), std::string::npos) << errors;
}

} // namespace
