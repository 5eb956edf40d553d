#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/wave_out.h"

namespace platform {

// The queue every wave-out backend shares. Written blocks wait here in order;
// the backend's own thread pulls their bytes (to a sound card, a clock or a
// file), and the queue hands each finished block back through the done
// callback on its completion thread, never on the caller's.
class WaveBlockQueue {
public:
    ~WaveBlockQueue();

    void Start(WaveDoneCallback callback, uint32_t blockAlign);
    // Returns every queued block and ends the completion thread.
    void Stop();

    void Push(WaveHeader* header);
    void SetPaused(bool paused);

    // Copies up to `bytes` of queued PCM into `out` (nullptr discards) unless
    // paused, and returns how many were taken. Used by the backend's thread.
    size_t Pull(uint8_t* out, size_t bytes);
    // Blocks until there is something to pull or the queue stops; false when
    // it stopped. Costs nothing while paused or empty.
    bool WaitForData();

    // Returns every queued block through the callback before it returns and
    // restarts the position at 0.
    void ReturnAll();
    // Frames pulled since Start or the last ReturnAll.
    uint64_t PositionInFrames();

private:
    void DeliverFinishedBlocks();
    void FinishLocked(WaveHeader* header);

    std::mutex mutex_;
    std::condition_variable changed_;
    // Everything below is guarded by mutex_.
    WaveDoneCallback callback_;
    uint32_t blockAlign_ = 1;
    std::deque<WaveHeader*> queued_;
    size_t frontOffset_ = 0;             // bytes of the front block already pulled
    std::deque<WaveHeader*> finished_;   // waiting for the completion thread
    uint64_t finishedCount_ = 0;
    uint64_t deliveredCount_ = 0;
    uint64_t pulledBytes_ = 0;
    bool paused_ = false;
    bool running_ = false;
    std::thread completionThread_;
};

// A device whose blocks wait in a WaveBlockQueue: writing, pausing, the
// reset and the position are the queue's; a backend adds how it opens, how
// its thread consumes the queue and how it closes.
class QueuedWaveOutDevice : public WaveOutDevice {
public:
    WaveResult Write(WaveHeader* header) override {
        queue_.Push(header);
        return WAVE_OK;
    }
    void Pause() override { queue_.SetPaused(true); }
    void Restart() override { queue_.SetPaused(false); }
    void Reset() override { queue_.ReturnAll(); }
    uint64_t Position() override { return queue_.PositionInFrames(); }

protected:
    WaveBlockQueue queue_;
};

}  // namespace platform
