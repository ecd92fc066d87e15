#include "platform/wave_device.h"

#include "platform/asset_path.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QMediaDevices>

namespace platform {

WaveDevice::SampleStream::SampleStream(WaveReader& reader, std::atomic<DeviceMode>& mode)
    : reader_(reader), mode_(mode) {}

qint64 WaveDevice::SampleStream::bytesAvailable() const {
    if (mode_.load(std::memory_order_relaxed) != DeviceMode::Playing)
        return QIODevice::bytesAvailable();
    const auto frames = reader_.frameCount() - reader_.position();
    return frames * reader_.outputBytesPerFrame() + QIODevice::bytesAvailable();
}

// The sink pulls from the thread it was created on, the same one that sends
// the commands, so the reader is never touched by two threads at once.
qint64 WaveDevice::SampleStream::readData(char* data, qint64 maxSize) {
    if (mode_.load(std::memory_order_relaxed) != DeviceMode::Playing)
        return 0;
    const auto bytes =
        reader_.read(reinterpret_cast<std::byte*>(data), static_cast<std::size_t>(maxSize));
    if (reader_.atEnd())
        mode_.store(DeviceMode::Stopped, std::memory_order_relaxed);
    return static_cast<qint64>(bytes);
}

qint64 WaveDevice::SampleStream::writeData(const char* /*data*/, qint64 /*maxSize*/) {
    return -1;
}

WaveDevice::WaveDevice() : stream_(reader_, mode_) {}

WaveDevice::~WaveDevice() {
    if (sink_)
        sink_->stop();
}

std::int32_t WaveDevice::open(const std::string& path) {
    if (const auto error = openFile(path); error != 0)
        return error;
    if (const auto error = createSink(); error != 0)
        return error;
    stream_.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    mode_.store(DeviceMode::Stopped);
    return 0;
}

std::int32_t WaveDevice::openFile(const std::string& path) {
    file_.setFileName(QString::fromStdString(findFileIgnoringCase(path)));
    if (!file_.exists())
        return mci_error::fileNotFound;
    if (!file_.open(QIODevice::ReadOnly) || file_.size() == 0)
        return mci_error::invalidFile;
    const uchar* bytes = file_.map(0, file_.size());
    if (bytes == nullptr)
        return mci_error::invalidFile;
    const auto error = reader_.open(std::span(reinterpret_cast<const std::byte*>(bytes),
                                              static_cast<std::size_t>(file_.size())));
    if (error == WaveError::Unsupported)
        return mci_error::unsupportedFormat;
    return error == WaveError::None ? 0 : mci_error::invalidFile;
}

std::int32_t WaveDevice::createSink() {
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull())
        return mci_error::noOutputDevice;
    QAudioFormat format;
    format.setSampleRate(reader_.format().sampleRate);
    format.setChannelCount(reader_.format().channels);
    format.setSampleFormat(reader_.output() == WaveOutput::Int16 ? QAudioFormat::Int16
                                                                 : QAudioFormat::Float);
    if (!output.isFormatSupported(format))
        return mci_error::unsupportedFormat;
    sink_ = std::make_unique<QAudioSink>(output, format);
    QObject::connect(sink_.get(), &QAudioSink::stateChanged, sink_.get(),
                     [this](QAudio::State state) { onSinkStateChanged(state); });
    return 0;
}

// The output failing (the sound server going away) leaves the device not
// ready, so the loop poll never sees "stopped" and never retries.
void WaveDevice::onSinkStateChanged(QAudio::State state) {
    if (state == QAudio::StoppedState && sink_->error() != QAudio::NoError)
        mode_.store(DeviceMode::NotReady);
}

std::int32_t WaveDevice::play() {
    if (mode() == DeviceMode::NotReady)
        return mci_error::deviceNotReady;
    if (reader_.atEnd()) {
        mode_.store(DeviceMode::Stopped);
        return 0;
    }
    mode_.store(DeviceMode::Playing);
    if (!sinkStarted_) {
        sinkStarted_ = true;
        sink_->start(&stream_);
    } else {
        emit stream_.readyRead();
    }
    if (sink_->state() == QAudio::StoppedState) {
        mode_.store(DeviceMode::NotReady);
        return mci_error::hardware;
    }
    return 0;
}

std::int32_t WaveDevice::seek(std::int64_t milliseconds) {
    if (mode() == DeviceMode::NotReady)
        return mci_error::deviceNotReady;
    reader_.seek(milliseconds * reader_.format().sampleRate / 1000);
    mode_.store(DeviceMode::Stopped);
    return 0;
}

} // namespace platform
