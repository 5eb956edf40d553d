// The capture device: no pacing. While it runs, queued blocks are consumed as
// soon as they arrive and their PCM goes to a WAV file and/or a callback. A
// file that cannot be written (a full disk) ends it as an unplugged card
// would: it takes no more blocks and reports itself lost.

#include <thread>

#include "platform/wave_block_queue.h"
#include "platform/wave_file_writer.h"
#include "platform/wave_out_backends.h"

namespace platform {
namespace {

class CaptureWaveOutDevice final : public QueuedWaveOutDevice {
public:
    explicit CaptureWaveOutDevice(CaptureSink sink) : sink_(std::move(sink)) {}
    ~CaptureWaveOutDevice() override { Close(); }

    WaveResult Open(const WaveFormat& format, WaveDoneCallback callback) override {
        if (format.BlockAlign() == 0 || format.sampleRate == 0) return WAVE_ERROR_BAD_FORMAT;
        Close();
        format_ = format;
        if (!sink_.wavePath.empty() && !writer_.Begin(sink_.wavePath, format)) return WAVE_ERROR;
        queue_.Start(std::move(callback), format.BlockAlign());
        worker_ = std::thread([this] { Capture(); });
        return WAVE_OK;
    }

    void Close() override {
        if (!worker_.joinable()) return;
        queue_.Stop();
        worker_.join();
        if (!sink_.wavePath.empty()) writer_.Finish();
    }

private:
    // Each block's PCM goes out where it lies, without a copy.
    void Capture() {
        bool written = true;
        const auto take = [this, &written](const uint8_t* pcm, size_t bytes) {
            if (!sink_.wavePath.empty()) written = writer_.Append(pcm, bytes);
            if (sink_.onPcm) sink_.onPcm(format_, pcm, bytes);
        };
        while (queue_.WaitForData()) {
            while (written && queue_.PullBlock(take) > 0) {
            }
            if (!written) {
                queue_.ReportLost();
                return;
            }
        }
    }

    const CaptureSink sink_;
    WaveFormat format_;
    WaveFileWriter writer_;  // Used by the worker thread while it runs.
    std::thread worker_;
};

}  // namespace

std::unique_ptr<WaveOutDevice> CreateCaptureWaveOutDevice(const CaptureSink& sink) {
    return std::make_unique<CaptureWaveOutDevice>(sink);
}

}  // namespace platform
