#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Windows-style multimedia command strings ("open \"path\" alias X", "play X",
// "status X mode", ...). Returns 0 on success, otherwise one of the codes below.
class MciInterface {
public:
    virtual ~MciInterface() = default;
    virtual std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                        std::intptr_t callbackWindow) = 0;
};

namespace mci_error {
constexpr std::int32_t unrecognizedKeyword = 259;
constexpr std::int32_t unrecognizedCommand = 261;
constexpr std::int32_t hardware = 262;
constexpr std::int32_t invalidDeviceName = 263;
constexpr std::int32_t deviceOpen = 265;
constexpr std::int32_t cannotLoadDriver = 266;
constexpr std::int32_t missingCommandString = 267;
constexpr std::int32_t paramOverflow = 268;
constexpr std::int32_t badInteger = 270;
constexpr std::int32_t missingParameter = 273;
constexpr std::int32_t fileNotFound = 275;
constexpr std::int32_t deviceNotReady = 276;
constexpr std::int32_t noClosingQuote = 294;
constexpr std::int32_t invalidFile = 296;
constexpr std::int32_t unsupportedFormat = 297;
} // namespace mci_error

const char* describeMciError(std::int32_t code);

// "not ready" before a successful open or while there is no audio output,
// "stopped" at the end of the sound or after a seek, "playing" otherwise.
enum class DeviceMode { NotReady, Playing, Stopped };

// One opened sound, driven by the command interpreter. Each method returns
// 0 or an mci_error code.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    virtual std::int32_t open(const std::string& path) = 0;
    virtual std::int32_t play() = 0;
    virtual std::int32_t seek(std::int64_t milliseconds) = 0;
    // Called a thousand times a second: must not allocate, lock or log.
    virtual DeviceMode mode() const = 0;
};

using SoundDeviceFactory = std::function<std::unique_ptr<SoundDevice>()>;

// Carries out the commands open, close, play, seek and status on devices kept
// by alias. Only wave files are known; the open picks the device from the
// file's extension unless it names a type.
class MciCommandInterpreter final : public MciInterface {
public:
    // Plays wave files through the system's default audio output.
    MciCommandInterpreter();
    explicit MciCommandInterpreter(SoundDeviceFactory makeWaveDevice);
    ~MciCommandInterpreter() override;

    std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                std::intptr_t callbackWindow) override;

private:
    struct OpenedDevice {
        std::string alias;
        std::unique_ptr<SoundDevice> device;
    };
    struct Command;

    std::int32_t open(const Command& command);
    std::int32_t close(const Command& command);
    std::int32_t play(const Command& command);
    std::int32_t seek(const Command& command);
    std::int32_t status(const Command& command, char* reply, std::uint32_t replyLength);
    SoundDevice* find(std::string_view alias);

    SoundDeviceFactory makeWaveDevice_;
    std::vector<OpenedDevice> devices_;
};

} // namespace platform
