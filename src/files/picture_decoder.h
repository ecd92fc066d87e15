// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QImage>
#include <QSize>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

namespace decoder {
struct Reply;
}

namespace files {

// The game's end of its picture decoder, a process of its own (sorawata-picture-decoder) that
// takes at most `megabytes` of memory. A picture that takes longer than `deadline` is abandoned:
// that decoder is killed and a new one started. Whatever the file, a decode costs the game at most
// the deadline and the decoded pixels.
class PictureDecoder {
public:
    struct Result {
        QImage image;        // at no more than the size asked for; null when nothing shows
        QSize size;          // the picture's own size
        std::string problem; // what is wrong with the file, for the player; empty when nothing is
    };

    static constexpr std::chrono::milliseconds gameDeadline{1000};
    static constexpr int gameMegabytes = 224;

    explicit PictureDecoder(std::string program, std::chrono::milliseconds deadline = gameDeadline,
                            int megabytes = gameMegabytes)
        : PictureDecoder(std::move(program), deadline, megabytes, false) {}
    // The same, with its first decoder forked from the game instead of started as the program,
    // which saves loading the program and its libraries; any later one starts as the program.
    // Only while the game has one thread and no application object: at the top of main().
    struct ForkFirst {};
    PictureDecoder(ForkFirst, std::string program)
        : PictureDecoder(std::move(program), gameDeadline, gameMegabytes, true) {}
    ~PictureDecoder();
    PictureDecoder(const PictureDecoder&) = delete;
    PictureDecoder& operator=(const PictureDecoder&) = delete;

    // Decodes the picture file open at `descriptor` at no more than `shownSize` either way.
    Result decode(int descriptor, QSize shownSize);

    // The same in two steps, so that the game goes on while the decoder works. send() returns at
    // once; `done` gets the result when finish() is called, or when the next picture is sent, which
    // first finishes this one. Either waits at most until the deadline, counted from the send. The
    // event loop of the sending thread finishes it too, as soon as the answer or the deadline
    // comes.
    void send(int descriptor, QSize shownSize, std::function<void(Result)> done);
    void finish();

private:
    using Clock = std::chrono::steady_clock;

    PictureDecoder(std::string program, std::chrono::milliseconds deadline, int megabytes,
                   bool forkFirst);

    struct OnItsWay {
        Clock::time_point until;
        QSize shownSize;
        bool sent; // false when the decoder could not take it
        std::function<void(Result)> done;
    };

    Result answerTo(const OnItsWay& picture);
    void start();
    // Each returns 0, or why the decoder could not be started; it gets `decoderEnd` as its socket.
    int spawnDecoder(int decoderEnd);
    int forkDecoder(int gameEnd, int decoderEnd);
    // Kills the decoder if it still runs; returns its wait status.
    int stop();
    Result resultOf(const decoder::Reply& reply, QImage pixels) const;
    std::string outOfMemory() const;

    std::string program_;
    std::chrono::milliseconds deadline_;
    int megabytes_;
    pid_t pid_ = -1;
    int socket_ = -1;
    bool forkNext_;
    std::string startProblem_; // why the decoder could not be started
    std::optional<OnItsWay> onItsWay_;
    QSocketNotifier answered_{QSocketNotifier::Read};
    QTimer late_;
};

} // namespace files
