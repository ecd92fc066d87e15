#include "media/bgm.h"

#include <array>
#include <string_view>

namespace media {

namespace {

constexpr std::int16_t vbTrue = -1;

char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool beginsWithStopped(const char* reply) {
    constexpr std::string_view stopped = "STOPPED";
    for (std::size_t i = 0; i < stopped.size(); ++i)
        if (upperAscii(reply[i]) != stopped[i])
            return false;
    return true;
}

} // namespace

Bgm::Bgm(platform::MciInterface& mci) : mci_(mci) {}

void Bgm::BgmOpen(const std::string& path) {
    MciResult = mci_.mciSendStringA("close MIDI notify", nullptr, 0, 0);
    const std::string open = "open \"" + path + "\" alias MIDI";
    MciResult = mci_.mciSendStringA(open.c_str(), nullptr, 0, 0);
}

void Bgm::BgmPlay() {
    if (BgmLoop == vbTrue)
        MciResult = mci_.mciSendStringA("play MIDI notify", nullptr, 0, 0);
}

void Bgm::BgmTim_Timer() {
    // 16 spaces, of which the device is told about 15: the reply and its NUL
    // always land inside the buffer.
    std::array<char, 16> reply;
    reply.fill(' ');
    mci_.mciSendStringA("status MIDI mode", reply.data(), 15, 0);
    if (beginsWithStopped(reply.data()) && BgmLoop == vbTrue) {
        MciResult = mci_.mciSendStringA("seek MIDI to start", nullptr, 0, 0);
        MciResult = mci_.mciSendStringA("play MIDI from 0", nullptr, 0, 0);
    }
}

} // namespace media
