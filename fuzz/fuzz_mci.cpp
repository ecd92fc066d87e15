// Music command strings as the game sends them, and every variation of them: the interpreter must
// answer each with 0 or a known error code, never write past the reply buffer, leave its devices
// alone when it refuses a command, and release every device when it goes.
#include "platform/mci.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

int liveDevices = 0;

// Opens whatever is asked except paths that mention "missing"; plays and seeks on demand.
class FakeDevice final : public platform::SoundDevice {
public:
    FakeDevice() { ++liveDevices; }
    ~FakeDevice() override { --liveDevices; }

    std::int32_t open(const std::string& path) override {
        if (path.find("missing") != std::string::npos)
            return platform::mci_error::fileNotFound;
        mode_ = platform::DeviceMode::Stopped;
        return 0;
    }
    std::int32_t play() override {
        mode_ = platform::DeviceMode::Playing;
        return 0;
    }
    std::int32_t seek(std::int64_t milliseconds) override {
        if (milliseconds < 0)
            std::abort(); // the interpreter promises a position, never a negative one
        mode_ = platform::DeviceMode::Stopped;
        return 0;
    }
    platform::DeviceMode mode() const override { return mode_; }

private:
    platform::DeviceMode mode_ = platform::DeviceMode::NotReady;
};

// The first byte sizes the reply buffer (0: no buffer); the rest is commands, one per line.
void runCommands(std::string_view input) {
    const std::size_t replyLength = static_cast<unsigned char>(input[0]) % 64;
    input.remove_prefix(1);
    platform::MciCommandInterpreter interpreter([] { return std::make_unique<FakeDevice>(); });
    while (!input.empty()) {
        const std::size_t end = std::min(input.find('\n'), input.size());
        const std::string command(input.substr(0, end));
        input.remove_prefix(std::min(end + 1, input.size()));

        // Exactly replyLength bytes on the heap, so that a write past the end is caught.
        std::vector<char> reply(replyLength, 'x');
        char* replyData = replyLength == 0 ? nullptr : reply.data();
        const int devicesBefore = liveDevices;
        const std::int32_t result =
            interpreter.mciSendStringA(command.c_str(), replyData, replyLength, 0);
        if (result != 0 && liveDevices != devicesBefore)
            std::abort();
        if (result < 0 || std::strcmp(platform::describeMciError(result), "unknown error") == 0)
            std::abort();
        if (result == 0 && replyLength > 0 && std::memchr(replyData, '\0', replyLength) == nullptr)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    runCommands(std::string_view(reinterpret_cast<const char*>(data), size));
    if (liveDevices != 0)
        std::abort();
    return 0;
}
