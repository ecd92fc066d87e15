// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// Files that are cheap to store and costly to decode, each put into the default pack and read by
// the real program (`sorawata --check`) through the game's own decoding path: each is one line
// naming the file and what it would cost, the rest of the pack still reads, and the program and
// its decoder stay within their memory however the file is made.

#include "hostile_pictures.h"
#include "music_files.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The most the program and its decoder may take between them.
constexpr long mostKilobytes = 300 * 1024;

struct ProgramRun {
    int status = -1; // exit status, or -1 for a signal
    std::string errors;
    long peakKilobytes = 0; // of the program and the decoder it waited for
};

ProgramRun runProgram(const std::vector<std::string>& arguments, const fs::path& errors) {
    std::vector<char*> argv{const_cast<char*>(SORAWATA_PROGRAM)};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = -1;
    ProgramRun run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.peakKilobytes = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.errors = test_files::readFile(errors);
    return run;
}

// A PNG whose colour profile libpng passes over with a warning; every pixel shows.
std::string pngWithOddProfile() {
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const std::string png = buffer.data().toStdString();
    std::string profile(256, 'p');
    uLongf packedSize = compressBound(profile.size());
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
             reinterpret_cast<const Bytef*>(profile.data()), profile.size());
    const std::string body =
        std::string("iCCP") + "odd" + '\0' + '\0' + packed.substr(0, packedSize);
    std::string chunk =
        hostile_pictures::bigEndian16(0) + hostile_pictures::bigEndian16(body.size() - 4) + body;
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size());
    chunk += hostile_pictures::bigEndian16(crc >> 16) + hostile_pictures::bigEndian16(crc & 0xFFFF);
    return png.substr(0, 33) + chunk + png.substr(33); // after the signature and the header
}

// A phone's photo, saved progressive: 24 million pixels.
void progressivePhoto(const fs::path& path) {
    QImage photo(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        std::fill_n(reinterpret_cast<QRgb*>(photo.scanLine(y)), photo.width(),
                    qRgb(y % 256, 90, 200));
    QImageWriter writer(QString::fromStdString(path.string()), "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(photo);
}

class DecodeBudget : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(pack_ / "img");
        for (const char* name : packFiles)
            linkDefault(name);
    }
    void TearDown() override { fs::remove_all(root_); }

    // Puts `write`'s file in the default pack in place of `name`, and checks the pack.
    ProgramRun checkWith(const std::string& name,
                         const std::function<void(const fs::path&)>& write) {
        fs::remove(pack_ / name);
        write(pack_ / name);
        const ProgramRun run = runProgram({"--check", pack_.string()}, root_ / "errors");
        fs::remove(pack_ / name);
        linkDefault(name);
        return run;
    }

    static constexpr const char* packFiles[] = {
        "dat.txt",   "end0.txt",  "end1.txt",  "bgm.wav",      "img/0.jpg",   "img/1.jpg",
        "img/2.jpg", "img/3.jpg", "img/4.jpg", "img/end0.jpg", "img/end1.jpg"};
    const fs::path root_ =
        fs::temp_directory_path() / ("sorawata-budget-" + std::to_string(getpid()));
    const fs::path pack_ = root_ / "pack";

private:
    void linkDefault(const std::string& name) {
        fs::create_symlink(fs::path(SORAWATA_DEFAULT_PACK) / name, pack_ / name);
    }
};

TEST_F(DecodeBudget, CostlyFilesAreOneLineAndTheRestOfThePackReads) {
    using namespace hostile_pictures;
    const auto bytes = [](std::string content) {
        return [content = std::move(content)](const fs::path& path) {
            test_files::writeFile(path, content);
        };
    };
    struct Case {
        const char* what;
        std::string name;
        std::function<void(const fs::path&)> write;
        std::string says; // how the one line about the file starts; empty: nothing is wrong
    };
    const Case cases[] = {
        {"thousands of near-empty scans", "img/0.jpg", bytes(manyScanJpeg(5792, 5792, 2000)),
         "took longer than 1 s to decode"},
        {"one scan per colour", "img/1.jpg", bytes(scanPerChannelJpeg(16384)),
         "needs more than 224 MB to decode"},
        {"60 MB of comments", "img/2.jpg", bytes(commentedJpeg(60 << 20)),
         "needs more than 224 MB to decode"},
        {"a progressive frame of 46336 x 46336", "img/3.jpg", bytes(manyScanJpeg(46336, 46336, 0)),
         "needs more than 224 MB to decode"},
        {"XPM text before a hole of 8 GiB", "img/4.jpg",
         [](const fs::path& path) { writeWithHole(path, xpmHead); },
         "not a JPEG, PNG, GIF or BMP picture"},
        {"PGM before a hole of 8 GiB", "img/end0.jpg",
         [](const fs::path& path) { writeWithHole(path, pgmHead); },
         "not a JPEG, PNG, GIF or BMP picture"},
        {"a PNG with a colour profile libpng grumbles about", "img/end1.jpg",
         bytes(pngWithOddProfile()), ""},
        {"a progressive photo of 6000 x 4000", "img/0.jpg", progressivePhoto, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ProgramRun run = checkWith(c.name, c.write);
        const std::string line = "sorawata: " + (pack_ / c.name).string() + ": " + c.says;
        EXPECT_EQ(run.errors.substr(0, line.size()), c.says.empty() ? "" : line);
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), c.says.empty() ? 0 : 1)
            << run.errors;
        EXPECT_EQ(run.status, c.says.empty() ? 0 : 1);
        EXPECT_LT(run.peakKilobytes, mostKilobytes);
    }
}

// An empty folder name is a bad command line, never a crash.
TEST_F(DecodeBudget, EmptyFolderIsABadCommandLine) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{""}, std::vector<std::string>{"--check", ""}}) {
        const ProgramRun run = runProgram(arguments, root_ / "errors");
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
    }
}

} // namespace
