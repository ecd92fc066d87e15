// Music files as any bytes: the wave reader must refuse what it cannot play, and for what it
// accepts hand out exactly the frames the data chunk holds, from any position, in any portions.
#include "platform/wave_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = std::as_bytes(std::span(data, size));
    platform::WaveReader reader;
    if (reader.open(file) != platform::WaveError::None)
        return 0;

    const auto& format = reader.format();
    if (format.channels < 1 || format.channels > 2 || format.bytesPerFrame <= 0 ||
        reader.frameCount() <= 0 ||
        static_cast<std::size_t>(reader.frameCount()) * format.bytesPerFrame > size)
        std::abort();

    // An odd portion that holds no whole number of frames, as a sound card may ask for.
    const auto frameBytes = static_cast<std::size_t>(reader.outputBytesPerFrame());
    std::vector<std::byte> portion(frameBytes * 37 + 1);
    std::int64_t frames = 0;
    while (!reader.atEnd()) {
        const std::size_t written = reader.read(portion.data(), portion.size());
        if (written == 0 || written % frameBytes != 0)
            std::abort();
        frames += static_cast<std::int64_t>(written / frameBytes);
    }
    if (frames != reader.frameCount())
        std::abort();

    // The game loops by seeking back; seeks outside the sound are clamped.
    reader.seek(-1);
    if (reader.position() != 0)
        std::abort();
    reader.seek(reader.frameCount() + 1);
    if (!reader.atEnd() || reader.read(portion.data(), portion.size()) != 0)
        std::abort();
    reader.seek(reader.frameCount() - 1);
    if (reader.read(portion.data(), portion.size()) != frameBytes)
        std::abort();
    return 0;
}
