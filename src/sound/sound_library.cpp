// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "sound/sound_library.h"

#include "common/report.h"
#include "music/mci.h"
#include "os/linux.h"

#include <QCoreApplication>
#include <atomic>
#include <condition_variable>
#include <dlfcn.h>
#include <mutex>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace sound {
namespace {

const SoundLibrary* load() {
    const std::string path = os::applicationFolder() + "/sound/libsorawata-sound.so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto entry = library ? reinterpret_cast<decltype(&sorawata_sound_library)>(
                                     dlsym(library, "sorawata_sound_library"))
                               : nullptr;
    if (entry == nullptr) {
        common::tell(QCoreApplication::translate(
                         "Music", "the music is silent: its sound library cannot be loaded (%1)")
                         .arg(QString::fromLocal8Bit(dlerror()))
                         .toStdString());
        return nullptr;
    }
    return entry(); // the library stays loaded for the rest of the run
}

std::mutex letMutex;
std::condition_variable_any letChanged;
bool loadingLet = false;

// False when the device goes before the game lets the library load.
bool waitUntilLetLoad(std::stop_token stop) {
    std::unique_lock lock(letMutex);
    return letChanged.wait(lock, stop, [] { return loadingLet; });
}

// Loaded on a thread of the lowest priority, so that the loading never takes the processor from the
// window or the display server; the device, made after it on the caller's thread, plays at the
// game's own priority, which a thread cannot get back once it has given it up.
const SoundLibrary* soundLibraryAtLowestPriority() {
    const SoundLibrary* library = nullptr;
    std::thread([&library] {
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
        library = soundLibrary();
    }).join();
    return library;
}

class SoundLibraryDevice final : public SoundDevice {
public:
    std::int32_t open(const std::string& path) override {
        loading_ = std::jthread([this, path](std::stop_token stop) {
            if (!waitUntilLetLoad(stop))
                return;
            const SoundLibrary* library = soundLibraryAtLowestPriority();
            if (library == nullptr)
                return;
            device_ = library->makeDevice();
            if (device_->open(path) == 0)
                opened_.store(device_.get(), std::memory_order_release);
        });
        return 0;
    }
    std::int32_t play() override {
        SoundDevice* device = opened();
        return device ? device->play() : music::mci_error::deviceNotReady;
    }
    std::int32_t rewind() override {
        SoundDevice* device = opened();
        return device ? device->rewind() : music::mci_error::deviceNotReady;
    }
    DeviceMode mode() const override {
        const SoundDevice* device = opened();
        return device ? device->mode() : DeviceMode::NotReady;
    }

private:
    SoundDevice* opened() const { return opened_.load(std::memory_order_acquire); }

    std::unique_ptr<SoundDevice> device_; // made on the loading thread
    std::atomic<SoundDevice*> opened_{nullptr};
    std::jthread loading_; // last: joined before the device goes
};

} // namespace

const SoundLibrary* soundLibrary() {
    static const SoundLibrary* const library = load();
    return library;
}

std::unique_ptr<SoundDevice> makeSoundLibraryDevice() {
    return std::make_unique<SoundLibraryDevice>();
}

void letSoundLibraryLoad() {
    {
        const std::lock_guard lock(letMutex);
        loadingLet = true;
    }
    letChanged.notify_all();
}

} // namespace sound
