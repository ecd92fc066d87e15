// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "check/music_check.h"
#include "files/asset_file.h"
#include "files/picture.h"
#include "files/text_file.h"
#include "music_files.h"
#include "test_pictures.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace fs = std::filesystem;
using files::findFileIgnoringCase;

namespace {

// A scratch folder holding files made from relative names.
class Folder {
public:
    std::string path(const std::string& name) const { return root_ + "/" + name; }

    void write(const std::string& name, const std::string& bytes = "") const {
        fs::create_directories(fs::path(path(name)).parent_path());
        std::ofstream(path(name), std::ios::binary) << bytes;
    }

private:
    QTemporaryDir dir_;
    std::string root_ = dir_.path().toStdString();
};

} // namespace

// A name that exists is returned as it is.
TEST(FindFileIgnoringCase, ExactNameIsKept) {
    Folder folder;
    folder.write("img/0.jpg");
    EXPECT_EQ(findFileIgnoringCase(folder.path("img/0.jpg")), folder.path("img/0.jpg"));
}

// A file named in other letter case in the same folder is found.
TEST(FindFileIgnoringCase, FindsTheFileInOtherCase) {
    Folder folder;
    folder.write("Dat.TXT");
    EXPECT_EQ(findFileIgnoringCase(folder.path("dat.txt")), folder.path("Dat.TXT"));
}

// The picture folder itself may be in other case too, and so may the file in it.
TEST(FindFileIgnoringCase, FindsTheFolderInOtherCase) {
    Folder folder;
    folder.write("IMG/0.JPG");
    folder.write("Img2/end0.jpg");
    EXPECT_EQ(findFileIgnoringCase(folder.path("img/0.jpg")), folder.path("IMG/0.JPG"));
    EXPECT_EQ(findFileIgnoringCase(folder.path("img2/end0.jpg")), folder.path("Img2/end0.jpg"));
}

// When both the exact name and another-case name exist, the exact one wins.
TEST(FindFileIgnoringCase, ExactNameWinsOverOtherCase) {
    Folder folder;
    folder.write("BGM.WAV");
    folder.write("bgm.wav");
    folder.write("Img/1.jpg");
    folder.write("img/1.jpg");
    EXPECT_EQ(findFileIgnoringCase(folder.path("bgm.wav")), folder.path("bgm.wav"));
    EXPECT_EQ(findFileIgnoringCase(folder.path("img/1.jpg")), folder.path("img/1.jpg"));
}

// Several other-case names: the same one is taken every time (the first in byte order).
TEST(FindFileIgnoringCase, SeveralCandidatesGiveTheFirstInByteOrder) {
    Folder folder;
    folder.write("dAt.txt");
    folder.write("DAT.txt");
    folder.write("Dat.txt");
    EXPECT_EQ(findFileIgnoringCase(folder.path("dat.txt")), folder.path("DAT.txt"));
}

// Nothing that matches, or a missing folder: the asked path comes back, so reports name it.
TEST(FindFileIgnoringCase, MissingGivesThePathAskedFor) {
    Folder folder;
    folder.write("dat.txt.bak");
    folder.write("img/end0.jpg");
    EXPECT_EQ(findFileIgnoringCase(folder.path("dat.txt")), folder.path("dat.txt"));
    EXPECT_EQ(findFileIgnoringCase(folder.path("img/0.jpg")), folder.path("img/0.jpg"));
    EXPECT_EQ(findFileIgnoringCase(folder.path("pictures/0.jpg")), folder.path("pictures/0.jpg"));
}

// Only ASCII letters fold: Japanese names and other bytes must match exactly.
TEST(FindFileIgnoringCase, OnlyAsciiLettersFold) {
    Folder folder;
    folder.write("夜 の 音/BGM.wav");
    EXPECT_EQ(findFileIgnoringCase(folder.path("夜 の 音/bgm.WAV")),
              folder.path("夜 の 音/BGM.wav"));
    EXPECT_EQ(findFileIgnoringCase(folder.path("夜 の 音/bgm_wav")),
              folder.path("夜 の 音/bgm_wav"));
}

// A folder named in Shift-JIS, as unzip leaves a Windows archive's: its name is no UTF-8.
const std::string shiftJisFolder = "\x96\xE9\x82\xCC\x89\xB9/";

// Text files are opened through the lookup and by their bytes: a Windows-named dat.txt is read.
TEST(FindFileIgnoringCase, TextFilesOpenThroughIt) {
    Folder folder;
    folder.write(shiftJisFolder + "DAT.TXT", "first\r\n");
    EXPECT_EQ(files::readFirstLines(folder.path(shiftJisFolder + "dat.txt"), 1, 10),
              std::vector<std::string>{"first"});
}

// Pictures are opened through it and by their bytes: IMG/0.JPG is the scene img/0.jpg.
TEST(FindFileIgnoringCase, PicturesOpenThroughIt) {
    Folder folder;
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "JPEG"));
    folder.write(shiftJisFolder + "IMG/0.JPG", jpeg.toStdString());
    EXPECT_EQ(files::LoadPicture(testPictureDecoder(), folder.path(shiftJisFolder + "img/0.jpg"),
                                 QSize(340, 320))
                  .size(),
              QSize(20, 10));
}

// The music reader finds BGM.WAV for bgm.wav, by its bytes.
TEST(FindFileIgnoringCase, MusicOpensThroughIt) {
    Folder folder;
    folder.write(shiftJisFolder + "placeholder");
    ASSERT_TRUE(music_files::writeShortWave(folder.path(shiftJisFolder + "BGM.WAV")));
    EXPECT_EQ(check::checkMusic(folder.path(shiftJisFolder + "bgm.wav")).problem, "");
    EXPECT_NE(check::checkMusic(folder.path(shiftJisFolder + "music.wav")).problem, "");
}
