// The null device: no sound, but blocks are consumed at real-time pace on a
// clock thread, so pausing, the position and the drain behave as on a card.

#include <chrono>
#include <thread>

#include "platform/wave_block_queue.h"
#include "platform/wave_out_backends.h"

namespace platform {
namespace {

constexpr auto kTick = std::chrono::milliseconds(10);

class NullWaveOutDevice final : public QueuedWaveOutDevice {
public:
    ~NullWaveOutDevice() override { Close(); }

    WaveResult Open(const WaveFormat& format, WaveDoneCallback callback) override {
        if (format.BlockAlign() == 0 || format.sampleRate == 0) return WAVE_ERROR_BAD_FORMAT;
        Close();
        queue_.Start(std::move(callback), format.BlockAlign());
        const size_t bytesPerTick = size_t{format.sampleRate} * format.BlockAlign() * kTick.count() / 1000;
        clock_ = std::thread([this, bytesPerTick] { RunClock(bytesPerTick); });
        return WAVE_OK;
    }

    void Close() override {
        if (!clock_.joinable()) return;
        queue_.Stop();
        clock_.join();
    }

private:
    // Sleeps while there is nothing to play; otherwise takes one tick's worth
    // of bytes per tick, keeping to the wall clock.
    void RunClock(size_t bytesPerTick) {
        while (queue_.WaitForData()) {
            auto next = std::chrono::steady_clock::now();
            while (queue_.Pull(nullptr, bytesPerTick) > 0) {
                next += kTick;
                std::this_thread::sleep_until(next);
            }
        }
    }

    std::thread clock_;
};

}  // namespace

std::unique_ptr<WaveOutDevice> CreateNullWaveOutDevice() {
    return std::make_unique<NullWaveOutDevice>();
}

}  // namespace platform
