// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// The game's picture decoder: a process of its own, so that a picture that is cheap to store but
// costly to decode costs the game nothing. It takes at most the memory it is given (any allocation
// beyond fails), and the game kills it when a picture takes too long and starts another.
// Usage: sorawata-picture-decoder MEGABYTES, with the game's socket as descriptor 3.

#include "decoder/decode.h"
#include "decoder/protocol.h"
#include "decoder/socket_messages.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <malloc.h>
#include <new>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using decoder::socketDescriptor;

// Dies with the game, even in the middle of a picture, and never leaves a core behind.
void followTheGame() {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
}

// Every private writable mapping counts: the heap, and what decoder libraries map for themselves.
// Sanitizers reserve terabytes of shadow memory up front, so their builds go without the limit.
void limitMemory(rlim_t megabytes) {
#ifndef SORAWATA_SANITIZE
    const rlimit limit{megabytes << 20, megabytes << 20};
    setrlimit(RLIMIT_DATA, &limit);
#else
    (void)megabytes;
#endif
    // Code that cannot take a failed allocation ends here, with a status the game understands.
    std::set_new_handler([] { _exit(decoder::outOfMemoryStatus); });
    std::set_terminate([] {
        try {
            std::rethrow_exception(std::current_exception());
        } catch (const std::bad_alloc&) {
            _exit(decoder::outOfMemoryStatus);
        } catch (...) {
        }
        std::abort();
    });
}

// The picture's descriptor that comes with a request; -1 when none did.
int receive(decoder::Request& request) {
    int descriptor = -1;
    const ssize_t got =
        decoder::receiveMessage(socketDescriptor, &request, sizeof request, descriptor);
    if (got <= 0)
        _exit(0); // the game has closed its end
    if (got != sizeof request) {
        close(descriptor);
        return -1;
    }
    return descriptor;
}

// The pixels in a memory file sealed against any change, so that the game may map it safely.
int pixelFile(const QImage& image) {
    const auto bytes = static_cast<std::size_t>(image.sizeInBytes());
    const int file = memfd_create("sorawata-picture", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    void* pixels = file >= 0 && ftruncate(file, static_cast<off_t>(bytes)) == 0
                       ? mmap(nullptr, bytes, PROT_WRITE, MAP_SHARED, file, 0)
                       : MAP_FAILED;
    if (pixels == MAP_FAILED) {
        close(file);
        return -1;
    }
    std::memcpy(pixels, image.constBits(), bytes);
    munmap(pixels, bytes);
    fcntl(file, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
    return file;
}

void answer(const decoder::Decoded& decoded) {
    decoder::Reply reply{};
    reply.outcome = decoded.outcome;
    reply.width = decoded.size.width();
    reply.height = decoded.size.height();
    reply.format = decoded.image.format();
    reply.decodedWidth = decoded.image.width();
    reply.decodedHeight = decoded.image.height();
    reply.bytesPerLine = static_cast<std::int32_t>(decoded.image.bytesPerLine());
    const QByteArray said = decoded.message.toUtf8().left(sizeof reply.message - 1);
    std::memcpy(reply.message, said.constData(), static_cast<std::size_t>(said.size()));

    const int pixels = decoded.image.isNull() ? -1 : pixelFile(decoded.image);
    if (!decoded.image.isNull() && pixels < 0)
        reply.outcome = decoder::Outcome::OutOfMemory;
    if (!decoder::sendMessage(socketDescriptor, &reply, sizeof reply, pixels))
        _exit(0);
    if (pixels >= 0)
        close(pixels);
}

} // namespace

int main(int argc, char** argv) {
    followTheGame();
    if (argc != 2)
        return 2;
    const QCoreApplication application(argc, argv); // for Qt's picture plugins
    limitMemory(std::strtoul(argv[1], nullptr, 10));
    decoder::loadPluginReaders();
    for (;;) {
        decoder::Request request{};
        const int picture = receive(request);
        decoder::Decoded decoded;
        if (picture >= 0)
            decoded = decoder::decode(picture, QSize(request.shownWidth, request.shownHeight));
        close(picture);
        answer(decoded);
        decoded = {};
        malloc_trim(0); // what a large picture took goes back to the system until the next
    }
}
