#pragma once

#include "platform/mci.h"
#include "platform/wave_reader.h"

#include <QAudioSink>
#include <QFile>
#include <QIODevice>
#include <atomic>
#include <memory>

namespace platform {

// Plays a wave file through the default audio output. The sink pulls samples
// straight from the mapped file; rewinding only moves the reader, so the sink
// never runs dry and a loop joins the end to the start without a gap.
class WaveDevice final : public SoundDevice {
public:
    WaveDevice();
    ~WaveDevice() override;

    std::int32_t open(const std::string& path) override;
    std::int32_t play() override;
    std::int32_t seek(std::int64_t milliseconds) override;
    DeviceMode mode() const override { return mode_.load(std::memory_order_relaxed); }

private:
    // What the sink reads from: samples while playing, nothing otherwise.
    class SampleStream final : public QIODevice {
    public:
        SampleStream(WaveReader& reader, std::atomic<DeviceMode>& mode);
        bool isSequential() const override { return true; }
        qint64 bytesAvailable() const override;

    protected:
        qint64 readData(char* data, qint64 maxSize) override;
        qint64 writeData(const char* data, qint64 maxSize) override;

    private:
        WaveReader& reader_;
        std::atomic<DeviceMode>& mode_;
    };

    std::int32_t openFile(const std::string& path);
    std::int32_t createSink();
    void onSinkStateChanged(QAudio::State state);

    QFile file_;
    WaveReader reader_;
    std::atomic<DeviceMode> mode_{DeviceMode::NotReady};
    SampleStream stream_;
    std::unique_ptr<QAudioSink> sink_;
    bool sinkStarted_ = false;
};

} // namespace platform
