// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "files/picture_decoder.h"

#include "decoder/protocol.h"
#include "decoder/socket_messages.h"

#include <QCoreApplication>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace files {
namespace {

using Clock = std::chrono::steady_clock;
using decoder::Outcome;

bool sendRequest(int socket, int picture, QSize shownSize) {
    const decoder::Request request{shownSize.width(), shownSize.height()};
    return decoder::sendMessage(socket, &request, sizeof request, picture);
}

// Waits for the decoder's answer until `until`; false when none came in time.
bool awaitAnswer(int socket, Clock::time_point until) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        pollfd ready{socket, POLLIN, 0};
        const int got = poll(&ready, 1, static_cast<int>(std::max<long>(left.count(), 0)));
        if (got > 0)
            return true;
        if (got == 0 || errno != EINTR)
            return false;
    }
}

// The reply, and the memory file that came with it (-1 for none); false when the decoder is gone.
bool receiveReply(int socket, decoder::Reply& reply, int& pixels) {
    const ssize_t got = decoder::receiveMessage(socket, &reply, sizeof reply, pixels, MSG_DONTWAIT);
    reply.message[sizeof reply.message - 1] = '\0';
    return got == sizeof reply;
}

// The decoded pixels, copied out of a memory file the decoder can no longer change.
QImage pixelsOf(int file, const decoder::Reply& reply, QSize shownSize) {
    shownSize = shownSize.expandedTo(QSize(1, 1)); // a picture is at least a pixel
    const auto format = static_cast<QImage::Format>(reply.format);
    const QSize size(reply.decodedWidth, reply.decodedHeight);
    const qint64 bytes = qint64(reply.bytesPerLine) * size.height();
    constexpr int sealed = F_SEAL_SHRINK | F_SEAL_WRITE;
    struct stat status {};
    if (file < 0 || size.isEmpty() || size.width() > shownSize.width() ||
        size.height() > shownSize.height() || reply.bytesPerLine < 4 * size.width() ||
        (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) ||
        (fcntl(file, F_GET_SEALS) & sealed) != sealed || fstat(file, &status) != 0 ||
        status.st_size < bytes)
        return {};
    void* mapped = mmap(nullptr, static_cast<std::size_t>(bytes), PROT_READ, MAP_SHARED, file, 0);
    if (mapped == MAP_FAILED)
        return {};
    const QImage image = QImage(static_cast<const uchar*>(mapped), size.width(), size.height(),
                                reply.bytesPerLine, format)
                             .copy();
    munmap(mapped, static_cast<std::size_t>(bytes));
    return image;
}

std::string cannotBeDecoded(const QString& why) {
    return QCoreApplication::translate("Picture", "cannot be decoded (%1)").arg(why).toStdString();
}

} // namespace

PictureDecoder::PictureDecoder(std::string program, Start when, std::chrono::milliseconds deadline,
                               int megabytes)
    : program_(std::move(program)), deadline_(deadline), megabytes_(megabytes),
      held_(when == Start::WhenLet) {
    QObject::connect(&answered_, &QSocketNotifier::activated, [this] { finish(); });
    late_.setSingleShot(true);
    late_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&late_, &QTimer::timeout, [this] { finish(); });
    start();
}

PictureDecoder::~PictureDecoder() {
    answered_.setEnabled(false);
    stop();
}

// Made ahead of the first picture, so that loading the decoder overlaps what its owner does
// meanwhile. A held decoder gets its socket now and its process at letStart().
void PictureDecoder::start() {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) {
        startProblem_ = std::strerror(errno);
        return;
    }
    socket_ = ends[0];
    // Well clear of the descriptor it becomes in the decoder.
    decoderEnd_ = fcntl(ends[1], F_DUPFD_CLOEXEC, decoder::socketDescriptor + 1);
    close(ends[1]);
    if (!held_)
        spawn();
}

void PictureDecoder::spawn() {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, decoderEnd_, decoder::socketDescriptor);
    const std::string megabytes = std::to_string(megabytes_);
    char* const arguments[] = {program_.data(), const_cast<char*>(megabytes.c_str()), nullptr};
    const int failed = posix_spawn(&pid_, program_.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(decoderEnd_);
    decoderEnd_ = -1;
    if (failed != 0) {
        pid_ = -1;
        close(socket_);
        socket_ = -1;
        startProblem_ = std::strerror(failed);
    }
}

void PictureDecoder::letStart() {
    if (!held_)
        return;
    held_ = false;
    if (socket_ < 0) // the next picture starts it
        return;
    spawn();
    if (onItsWay_) {
        onItsWay_->until = Clock::now() + deadline_;
        answered_.setEnabled(socket_ >= 0);
        late_.start(socket_ >= 0 ? deadline_ : std::chrono::milliseconds(0));
    }
}

int PictureDecoder::stop() {
    int status = 0;
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    for (const int end : {socket_, decoderEnd_})
        if (end >= 0)
            close(end);
    pid_ = socket_ = decoderEnd_ = -1;
    return status;
}

PictureDecoder::Result PictureDecoder::decode(int descriptor, QSize shownSize) {
    Result result;
    send(descriptor, shownSize, [&result](Result decoded) { result = std::move(decoded); });
    finish();
    return result;
}

void PictureDecoder::send(int descriptor, QSize shownSize, std::function<void(Result)> done) {
    finish(); // the decoder takes one picture at a time
    if (socket_ < 0)
        start();
    if (socket_ < 0)
        return done({{}, {}, notStarted()});
    const auto until = Clock::now() + deadline_;
    bool sent = sendRequest(socket_, descriptor, shownSize);
    if (!sent) { // the decoder ended since the last picture: this one is not its fault
        stop();
        start();
        sent = socket_ >= 0 && sendRequest(socket_, descriptor, shownSize);
    }
    onItsWay_ = OnItsWay{until, shownSize, sent, std::move(done)};
    if (sent) {
        answered_.setSocket(socket_);
        answered_.setEnabled(true);
    }
    if (!sent || !held_) // a held picture's deadline starts with its decoder
        late_.start(sent ? deadline_ : std::chrono::milliseconds(0));
}

void PictureDecoder::finish() {
    if (!onItsWay_)
        return;
    letStart(); // the answer needs the decoder
    answered_.setEnabled(false);
    late_.stop();
    const OnItsWay picture = std::move(*onItsWay_);
    onItsWay_.reset();
    picture.done(answerTo(picture));
}

PictureDecoder::Result PictureDecoder::answerTo(const OnItsWay& picture) {
    decoder::Reply reply{};
    int pixels = -1;
    const bool answered = picture.sent && socket_ >= 0 && awaitAnswer(socket_, picture.until) &&
                          receiveReply(socket_, reply, pixels);
    Result result;
    if (answered) {
        result = resultOf(reply, pixelsOf(pixels, reply, picture.shownSize));
    } else if (picture.sent && socket_ < 0) { // its decoder could not be started
        result.problem = notStarted();
    } else {
        const bool late = Clock::now() >= picture.until;
        const int status = stop();
        start(); // ready for the next picture
        result.problem =
            late ? QCoreApplication::translate("Picture", "took longer than %1 s to decode")
                       .arg(static_cast<double>(deadline_.count()) / 1000)
                       .toStdString()
            : WIFEXITED(status) && WEXITSTATUS(status) == decoder::outOfMemoryStatus
                ? outOfMemory()
                : cannotBeDecoded(
                      QCoreApplication::translate("Picture", "the picture decoder stopped on it"));
    }
    if (pixels >= 0)
        close(pixels);
    return result;
}

std::string PictureDecoder::notStarted() const {
    return cannotBeDecoded(
        QCoreApplication::translate("Picture", "the picture decoder cannot be started: %1")
            .arg(QString::fromLocal8Bit(startProblem_)));
}

std::string PictureDecoder::outOfMemory() const {
    return QCoreApplication::translate("Picture", "needs more than %1 MB to decode")
        .arg(megabytes_)
        .toStdString();
}

PictureDecoder::Result PictureDecoder::resultOf(const decoder::Reply& reply, QImage pixels) const {
    Result result{std::move(pixels), QSize(reply.width, reply.height), {}};
    const QString said = QString::fromUtf8(reply.message);
    switch (reply.outcome) {
    case Outcome::Decoded:
        break;
    case Outcome::Damaged:
        result.problem =
            QCoreApplication::translate("Picture", "damaged picture (%1); what could be read shows")
                .arg(said)
                .toStdString();
        break;
    case Outcome::NotTaken:
        result.problem =
            QCoreApplication::translate("Picture", "not a JPEG, PNG, GIF or BMP picture")
                .toStdString();
        break;
    case Outcome::OutOfMemory:
        result.problem = outOfMemory();
        break;
    case Outcome::Unreadable:
    default:
        result.problem = cannotBeDecoded(
            said.isEmpty() ? QCoreApplication::translate("Picture", "the decoder gives no reason")
                           : said);
        break;
    }
    const bool shows = reply.outcome == Outcome::Decoded || reply.outcome == Outcome::Damaged;
    if (shows && result.image.isNull())
        result.problem =
            cannotBeDecoded(QCoreApplication::translate("Picture", "its pixels did not come back"));
    if (!shows)
        result.image = {};
    return result;
}

} // namespace files
