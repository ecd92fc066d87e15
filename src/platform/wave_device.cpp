#include "platform/wave_device.h"

#include "platform/asset_path.h"
#include "platform/music_reader.h"
#include "platform/report.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <filesystem>
#include <utility>

namespace platform {

// --- Transport -----------------------------------------------------------------------------------

std::int32_t Transport::play() {
    const std::lock_guard lock(mutex_);
    if (mode() == DeviceMode::NotReady)
        return mci_error::deviceNotReady;
    ++generation_;
    mode_.store(DeviceMode::Playing, std::memory_order_relaxed);
    return 0;
}

std::int32_t Transport::seek(std::int64_t milliseconds) {
    const std::lock_guard lock(mutex_);
    if (mode() == DeviceMode::NotReady)
        return mci_error::deviceNotReady;
    ++generation_;
    seekMilliseconds_ = milliseconds;
    mode_.store(DeviceMode::Stopped, std::memory_order_relaxed);
    return 0;
}

Transport::Orders Transport::take() {
    const std::lock_guard lock(mutex_);
    return {std::exchange(seekMilliseconds_, std::nullopt), mode() == DeviceMode::Playing,
            generation_};
}

void Transport::reachedEnd(std::uint64_t generation) {
    const std::lock_guard lock(mutex_);
    if (generation == generation_ && mode() == DeviceMode::Playing)
        mode_.store(DeviceMode::Stopped, std::memory_order_relaxed);
}

void Transport::setMode(DeviceMode mode) {
    const std::lock_guard lock(mutex_);
    mode_.store(mode, std::memory_order_relaxed);
}

// --- Output --------------------------------------------------------------------------------------

namespace {

QAudioFormat formatOf(const MusicReader& reader) {
    QAudioFormat format;
    format.setSampleRate(reader.rate());
    format.setChannelCount(reader.channels());
    format.setSampleFormat(reader.sampleType() == SampleType::Int16 ? QAudioFormat::Int16
                                                                    : QAudioFormat::Float);
    return format;
}

} // namespace

// What the sink pulls from: the reader's samples while the game has the sound playing, nothing
// otherwise. Created on the game's thread, then everything happens on the audio thread.
class WaveDevice::Output final : public QIODevice {
public:
    explicit Output(Transport& transport) : transport_(transport) {}

    // Reads the file's header; `path` names it as the game asked for it, `found` as it lies on
    // disk.
    std::int32_t openFile(const std::string& path, const std::string& found);
    // Starts the sink on `device`, pulling nothing until the game plays.
    std::int32_t start(const QAudioDevice& device);
    void stop();
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* /*data*/, qint64 /*maxSize*/) override { return -1; }

private:
    Transport& transport_;
    MusicReader reader_;
    std::unique_ptr<QAudioSink> sink_;
};

std::int32_t WaveDevice::Output::openFile(const std::string& path, const std::string& found) {
    if (const std::string problem = reader_.open(found); !problem.empty()) {
        reportFileProblem(path, problem);
        return mci_error::invalidFile;
    }
    return 0;
}

std::int32_t WaveDevice::Output::start(const QAudioDevice& device) {
    QAudioFormat format = formatOf(reader_);
    if (!device.isFormatSupported(format)) {
        if (!reader_.resampleTo(device.preferredFormat().sampleRate()))
            return mci_error::unsupportedFormat;
        format = formatOf(reader_);
        if (!device.isFormatSupported(format))
            return mci_error::unsupportedFormat;
    }
    sink_ = std::make_unique<QAudioSink>(device, format);
    // The output failing (the sound server going away) leaves the device not ready, so the
    // loop poll never sees "stopped" and never retries.
    connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::StoppedState && sink_->error() != QAudio::NoError)
            transport_.setMode(DeviceMode::NotReady);
    });
    QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    transport_.setMode(DeviceMode::Stopped);
    sink_->start(this);
    if (sink_->state() == QAudio::StoppedState) {
        transport_.setMode(DeviceMode::NotReady);
        return mci_error::hardware;
    }
    return 0;
}

void WaveDevice::Output::stop() {
    if (sink_)
        sink_->stop();
    sink_.reset();
}

qint64 WaveDevice::Output::readData(char* data, qint64 maxSize) {
    const Transport::Orders orders = transport_.take();
    if (orders.seekMilliseconds) {
        const double frame = static_cast<double>(*orders.seekMilliseconds) * reader_.rate() / 1000;
        reader_.seek(static_cast<std::int64_t>(std::min(frame, 1e18)));
    }
    if (!orders.playing)
        return 0;
    const std::size_t bytes =
        reader_.read(reinterpret_cast<std::byte*>(data), static_cast<std::size_t>(maxSize));
    if (reader_.atEnd())
        transport_.reachedEnd(orders.generation);
    return static_cast<qint64>(bytes);
}

// --- WaveDevice ----------------------------------------------------------------------------------

namespace {

// Runs `work` on the thread of `context` and waits for its result.
template <typename Work> std::int32_t runOn(QObject* context, Work work) {
    std::int32_t result = 0;
    QMetaObject::invokeMethod(
        context, [&] { result = work(); }, Qt::BlockingQueuedConnection);
    return result;
}

} // namespace

WaveDevice::WaveDevice() = default;

WaveDevice::~WaveDevice() {
    if (output_)
        runOn(output_.get(), [this] {
            output_->stop();
            return 0;
        });
    audioThread_.quit();
    audioThread_.wait();
}

// The file is read on the audio thread; the audio output is looked for only once the file has
// turned out to be sound.
std::int32_t WaveDevice::open(const std::string& path) {
    if (output_)
        return mci_error::deviceOpen;
    const std::string found = findFileIgnoringCase(path);
    std::error_code ignored;
    if (!std::filesystem::exists(found, ignored))
        return mci_error::fileNotFound;
    output_ = std::make_unique<Output>(transport_);
    output_->moveToThread(&audioThread_);
    audioThread_.start();
    if (const auto error = runOn(output_.get(), [&] { return output_->openFile(path, found); }))
        return error;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return mci_error::noOutputDevice;
    return runOn(output_.get(), [&] { return output_->start(device); });
}

std::int32_t WaveDevice::play() {
    if (const auto error = transport_.play(); error != 0)
        return error;
    // The sink stops asking once it has been given nothing; this sets it going again.
    QMetaObject::invokeMethod(
        output_.get(), [output = output_.get()] { emit output->readyRead(); },
        Qt::QueuedConnection);
    return 0;
}

std::int32_t WaveDevice::seek(std::int64_t milliseconds) {
    return transport_.seek(milliseconds);
}

} // namespace platform
