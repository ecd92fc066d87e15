// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "decoder/serve.h"

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

namespace decoder {

namespace {

// Dies with the game, even in the middle of a picture, and never leaves a core behind. Named as
// the program is in a process list, forked from the game or not.
void followTheGame() {
    prctl(PR_SET_NAME, "sorawata-pictur"); // the kernel keeps 15 characters of a name
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
    std::set_new_handler([] { _exit(outOfMemoryStatus); });
    std::set_terminate([] {
        try {
            std::rethrow_exception(std::current_exception());
        } catch (const std::bad_alloc&) {
            _exit(outOfMemoryStatus);
        } catch (...) {
        }
        std::abort();
    });
}

// The picture's descriptor that comes with a request; -1 when none did.
int receive(Request& request) {
    int descriptor = -1;
    const ssize_t got = receiveMessage(socketDescriptor, &request, sizeof request, descriptor);
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

void answer(const Decoded& decoded) {
    Reply reply{};
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
        reply.outcome = Outcome::OutOfMemory;
    if (!sendMessage(socketDescriptor, &reply, sizeof reply, pixels))
        _exit(0);
    if (pixels >= 0)
        close(pixels);
}

} // namespace

void serve(rlim_t megabytes) {
    followTheGame();
    int argc = 1;
    char name[] = "sorawata-picture-decoder";
    char* argv[] = {name, nullptr};
    const QCoreApplication application(argc, argv); // for Qt's picture plugins
    limitMemory(megabytes);
    loadPluginReaders();
    for (;;) {
        Request request{};
        const int picture = receive(request);
        Decoded decoded;
        if (picture >= 0)
            decoded = decode(picture, QSize(request.shownWidth, request.shownHeight));
        close(picture);
        answer(decoded);
        decoded = {};
        malloc_trim(0); // what a large picture took goes back to the system until the next
    }
}

} // namespace decoder
