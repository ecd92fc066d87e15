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

    // When the decoder's process starts: at once, or only at letStart(). A picture sent before
    // waits for it, and its deadline counts from the start.
    enum class Start { AtOnce, WhenLet };

    explicit PictureDecoder(std::string program, Start when = Start::AtOnce,
                            std::chrono::milliseconds deadline = std::chrono::seconds(1),
                            int megabytes = 224);
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

    // Starts a decoder held back by Start::WhenLet. Finishing a picture starts it too.
    void letStart();

private:
    using Clock = std::chrono::steady_clock;

    struct OnItsWay {
        Clock::time_point until;
        QSize shownSize;
        bool sent; // false when the decoder could not take it
        std::function<void(Result)> done;
    };

    Result answerTo(const OnItsWay& picture);
    // Makes the socket, and starts the process unless it is held back.
    void start();
    void spawn();
    // Kills the decoder if it still runs; returns its wait status.
    int stop();
    Result resultOf(const decoder::Reply& reply, QImage pixels) const;
    std::string outOfMemory() const;
    std::string notStarted() const;

    std::string program_;
    std::chrono::milliseconds deadline_;
    int megabytes_;
    bool held_;
    pid_t pid_ = -1;
    int socket_ = -1;
    int decoderEnd_ = -1;      // the decoder's end of the socket, until its process has it
    std::string startProblem_; // why the decoder could not be started
    std::optional<OnItsWay> onItsWay_;
    QSocketNotifier answered_{QSocketNotifier::Read};
    QTimer late_;
};

} // namespace files
