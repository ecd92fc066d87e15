// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "check/music_check.h"
#include "files/asset_file.h"
#include "files/picture.h"
#include "files/text_file.h"
#include "game_world.h"
#include "music_files.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using files::findFileIgnoringCase;

// A name is looked up in the folder the way Windows would: the exact name when it exists, else
// the first in byte order of the names that differ from it in the case of ASCII letters only,
// folders included; with nothing that matches, the asked path comes back, so reports name it.
TEST(FindFileIgnoringCase, FindsTheNameAsWindowsWould) {
    struct Case {
        const char* what;
        std::vector<std::string> files;
        std::string asked;
        std::string found;
    };
    const Case cases[] = {
        {"the exact name", {"img/0.jpg"}, "img/0.jpg", "img/0.jpg"},
        {"a file in other case", {"Dat.TXT"}, "dat.txt", "Dat.TXT"},
        {"a folder in other case", {"IMG/0.JPG", "Img2/end0.jpg"}, "img/0.jpg", "IMG/0.JPG"},
        {"a folder with a digit", {"IMG/0.JPG", "Img2/end0.jpg"}, "img2/end0.jpg", "Img2/end0.jpg"},
        {"exact before other case", {"BGM.WAV", "bgm.wav"}, "bgm.wav", "bgm.wav"},
        {"exact folder before other case", {"Img/1.jpg", "img/1.jpg"}, "img/1.jpg", "img/1.jpg"},
        {"several in other case", {"dAt.txt", "DAT.txt", "Dat.txt"}, "dat.txt", "DAT.txt"},
        {"no match", {"dat.txt.bak"}, "dat.txt", "dat.txt"},
        {"no match in the folder", {"img/end0.jpg"}, "img/0.jpg", "img/0.jpg"},
        {"no folder", {"img/end0.jpg"}, "pictures/0.jpg", "pictures/0.jpg"},
        {"Japanese names", {"夜 の 音/BGM.wav"}, "夜 の 音/bgm.WAV", "夜 の 音/BGM.wav"},
        {"no other byte folds", {"夜 の 音/BGM.wav"}, "夜 の 音/bgm_wav", "夜 の 音/bgm_wav"},
    };
    for (const Case& c : cases) {
        AssetFolder folder;
        for (const std::string& file : c.files)
            folder.writeFile(file);
        EXPECT_EQ(findFileIgnoringCase(folder.path(c.asked)), folder.path(c.found)) << c.what;
    }
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
    EXPECT_EQ(check::checkMusic(folder.path(shiftJisFolder + "bgm.wav")).problem, "");
    EXPECT_NE(check::checkMusic(folder.path(shiftJisFolder + "music.wav")).problem, "");
}
