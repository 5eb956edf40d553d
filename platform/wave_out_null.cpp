// The null device: no sound, but blocks are consumed at real-time pace on a
// clock thread, so pausing, the position and the drain behave as on a card.
// The thread sleeps until the blocks it plays are due, not in fixed ticks:
// like a card's period, one wake-up plays up to kWakeInterval of whole
// blocks, while the block after them stays queued for the writer to catch
// up. Its time is the installed clock's.

#include <algorithm>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/clock.h"
#include "platform/wave_block_queue.h"
#include "platform/wave_out_backends.h"

namespace platform {
namespace {

constexpr std::chrono::milliseconds kWakeInterval{250};

class NullWaveOutDevice final : public QueuedWaveOutDevice {
public:
    ~NullWaveOutDevice() override { Close(); }

    WaveResult Open(const WaveFormat& format, WaveDoneCallback callback) override {
        if (format.BlockAlign() == 0 || format.sampleRate == 0) return WAVE_ERROR_BAD_FORMAT;
        Close();
        format_ = format;
        queue_.Start(std::move(callback), format.BlockAlign());
        clock_ = std::thread([this] { RunClock(); });
        return WAVE_OK;
    }

    void Close() override {
        if (!clock_.joinable()) return;
        queue_.Stop();
        clock_.join();
    }

    // The frames of the blocks played out, and of the ones playing now as far
    // as the clock has gone into them (unless a reset has returned them).
    uint64_t Position() override {
        std::lock_guard lock(playingLock_);
        const WaveBlockQueue::PlayedFrames played = queue_.Played();
        uint64_t frames = played.frames;
        if (playingSince_ && played.resets == playing_.resets) {
            frames += std::min(FramesSince(*playingSince_), playing_.bytes / format_.BlockAlign());
        }
        return frames;
    }

private:
    uint64_t FramesSince(ClockTime start) const {
        const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Now() - start);
        return static_cast<uint64_t>(elapsed.count()) * format_.sampleRate / 1'000'000;
    }

    ClockDuration DurationOf(size_t bytes) const {
        const uint64_t frames = bytes / format_.BlockAlign();
        return std::chrono::duration_cast<ClockDuration>(std::chrono::microseconds(frames * 1'000'000 / format_.sampleRate));
    }

    // Plays the front blocks until they are due; a pause or a reset on the
    // way keeps what played of them and looks again.
    void RunClock() {
        const size_t spanLimit = format_.sampleRate * kWakeInterval.count() / 1000 * format_.BlockAlign();
        while (queue_.WaitForData()) {
            const WaveBlockQueue::FrontBlock front = queue_.Front(spanLimit);
            if (front.bytes == 0) {
                // An empty block plays in no time; taking it is the progress.
                queue_.TakePlayed(front, 0);
                continue;
            }
            const ClockTime start = Now();
            {
                std::lock_guard lock(playingLock_);
                playingSince_ = start;
                playing_ = front;
            }
            const bool playedOut = queue_.SleepUntil(start + DurationOf(front.bytes));
            std::lock_guard lock(playingLock_);
            queue_.TakePlayed(front, playedOut ? front.bytes : FramesSince(start) * format_.BlockAlign());
            playingSince_.reset();
        }
    }

    WaveFormat format_;
    std::thread clock_;
    std::mutex playingLock_;
    // The blocks the clock plays now and when they started. Guarded by
    // playingLock_, which is taken before the queue's own lock.
    std::optional<ClockTime> playingSince_;
    WaveBlockQueue::FrontBlock playing_;
};

}  // namespace

std::unique_ptr<WaveOutDevice> CreateNullWaveOutDevice() {
    return std::make_unique<NullWaveOutDevice>();
}

}  // namespace platform
