// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "audio/music_reader.h"
#include "files/asset_file.h"
#include "files/picture.h"
#include "files/text_file.h"
#include "game_world.h"
#include "music_files.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>
#include <string>

using files::findFileIgnoringCase;

// A name that exists is returned as it is.
TEST(FindFileIgnoringCase, ExactNameIsKept) {
    AssetFolder folder;
    folder.writeFile("img/0.jpg");
    EXPECT_EQ(findFileIgnoringCase(folder.path("img/0.jpg")), folder.path("img/0.jpg"));
}

// A file named in other letter case in the same folder is found.
TEST(FindFileIgnoringCase, FindsTheFileInOtherCase) {
    AssetFolder folder;
    folder.writeFile("Dat.TXT");
    EXPECT_EQ(findFileIgnoringCase(folder.path("dat.txt")), folder.path("Dat.TXT"));
}

// The picture folder itself may be in other case too, and so may the file in it.
TEST(FindFileIgnoringCase, FindsTheFolderInOtherCase) {
    AssetFolder folder;
    folder.writeFile("IMG/0.JPG");
    folder.writeFile("Img2/end0.jpg");
    EXPECT_EQ(findFileIgnoringCase(folder.path("img/0.jpg")), folder.path("IMG/0.JPG"));
    EXPECT_EQ(findFileIgnoringCase(folder.path("img2/end0.jpg")), folder.path("Img2/end0.jpg"));
}

// When both the exact name and another-case name exist, the exact one wins.
TEST(FindFileIgnoringCase, ExactNameWinsOverOtherCase) {
    AssetFolder folder;
    folder.writeFile("BGM.WAV");
    folder.writeFile("bgm.wav");
    folder.writeFile("Img/1.jpg");
    folder.writeFile("img/1.jpg");
    EXPECT_EQ(findFileIgnoringCase(folder.path("bgm.wav")), folder.path("bgm.wav"));
    EXPECT_EQ(findFileIgnoringCase(folder.path("img/1.jpg")), folder.path("img/1.jpg"));
}

// Several other-case names: the same one is taken every time (the first in byte order).
TEST(FindFileIgnoringCase, SeveralCandidatesGiveTheFirstInByteOrder) {
    AssetFolder folder;
    folder.writeFile("dAt.txt");
    folder.writeFile("DAT.txt");
    folder.writeFile("Dat.txt");
    EXPECT_EQ(findFileIgnoringCase(folder.path("dat.txt")), folder.path("DAT.txt"));
}

// Nothing that matches, or a missing folder: the asked path comes back, so reports name it.
TEST(FindFileIgnoringCase, MissingGivesThePathAskedFor) {
    AssetFolder folder;
    folder.writeFile("dat.txt.bak");
    folder.writeFile("img/end0.jpg");
    EXPECT_EQ(findFileIgnoringCase(folder.path("dat.txt")), folder.path("dat.txt"));
    EXPECT_EQ(findFileIgnoringCase(folder.path("img/0.jpg")), folder.path("img/0.jpg"));
    EXPECT_EQ(findFileIgnoringCase(folder.path("pictures/0.jpg")), folder.path("pictures/0.jpg"));
}

// Only ASCII letters fold: Japanese names and other bytes must match exactly.
TEST(FindFileIgnoringCase, OnlyAsciiLettersFold) {
    AssetFolder folder;
    folder.writeFile("夜 の 音/BGM.wav");
    EXPECT_EQ(findFileIgnoringCase(folder.path("夜 の 音/bgm.WAV")),
              folder.path("夜 の 音/BGM.wav"));
    EXPECT_EQ(findFileIgnoringCase(folder.path("夜 の 音/bgm_wav")),
              folder.path("夜 の 音/bgm_wav"));
}

// A folder named in Shift-JIS, as unzip leaves a Windows archive's: its name is no UTF-8.
const std::string shiftJisFolder = "\x96\xE9\x82\xCC\x89\xB9/";

// Text files are opened through the lookup and by their bytes: a Windows-named dat.txt is read.
TEST(FindFileIgnoringCase, TextFilesOpenThroughIt) {
    AssetFolder folder;
    folder.writeFile(shiftJisFolder + "DAT.TXT", "first\r\n");
    EXPECT_EQ(files::readFirstLines(folder.path(shiftJisFolder + "dat.txt"), 1, 10),
              std::vector<std::string>{"first"});
}

// Pictures are opened through it and by their bytes: IMG/0.JPG is the scene img/0.jpg.
TEST(FindFileIgnoringCase, PicturesOpenThroughIt) {
    AssetFolder folder;
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "JPEG"));
    folder.writeFile(shiftJisFolder + "IMG/0.JPG", jpeg.toStdString());
    EXPECT_EQ(files::LoadPicture(testPictureDecoder(), folder.path(shiftJisFolder + "img/0.jpg"),
                                 QSize(340, 320))
                  .size(),
              QSize(20, 10));
}

// The music reader finds BGM.WAV for bgm.wav, by its bytes.
TEST(FindFileIgnoringCase, MusicOpensThroughIt) {
    AssetFolder folder;
    folder.writeFile(shiftJisFolder + "placeholder");
    ASSERT_TRUE(music_files::writeShortWave(folder.path(shiftJisFolder + "BGM.WAV")));
    EXPECT_EQ(audio::checkMusic(folder.path(shiftJisFolder + "bgm.wav")).problem, "");
    EXPECT_NE(audio::checkMusic(folder.path(shiftJisFolder + "music.wav")).problem, "");
}
