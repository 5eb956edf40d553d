#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/clock.h"
#include "platform/wave_out.h"

namespace platform {

// The queue every wave-out backend shares. Written blocks wait here in order;
// the backend's own thread pulls their bytes (to a sound card, a clock or a
// file) and hands each finished block back through the done callback. A
// reset returns the blocks still queued through the queue's completion
// thread, so the callback never runs on the caller's thread.
class WaveBlockQueue {
public:
    ~WaveBlockQueue();

    void Start(WaveDoneCallback callback, uint32_t blockAlign);
    // Returns every queued block and ends the completion thread.
    void Stop();

    // Queues the blocks in order and wakes the backend's thread once.
    void Push(std::span<WaveHeader* const> headers);
    void SetPaused(bool paused);

    // Copies up to `bytes` of queued PCM into `out` (nullptr discards) unless
    // paused, returns every block it used up through the done callback, and
    // returns how many bytes were taken. Used by the backend's thread.
    size_t Pull(uint8_t* out, size_t bytes);
    // Takes the front block whole (unless paused), lets `read` see its PCM
    // where it lies, then returns it through the done callback; returns how
    // many bytes were taken. A reset meanwhile waits for that one block.
    // Used by the backend's thread, never mixed with Pull.
    size_t PullBlock(const std::function<void(const uint8_t* pcm, size_t bytes)>& read);
    // Blocks until there is something to pull or the queue stops; false when
    // it stopped. Costs nothing while paused or empty.
    bool WaitForData();
    // What is left of the front block, and of the whole blocks after it that
    // fit within `limit` bytes in all, but never the last block queued
    // unless it is the front one (0 bytes when nothing is queued); and which
    // reset they belong to.
    struct FrontBlock {
        size_t bytes = 0;
        uint64_t resets = 0;
    };
    FrontBlock Front(size_t limit = 0);
    // Sleeps until `deadline` on the installed clock; false when a pause, a
    // reset or the stop came first.
    bool SleepUntil(ClockTime deadline);
    // Takes `bytes` of `front` that a paced backend has played, as Pull does
    // but whether paused or not; nothing when a reset has returned it since.
    void TakePlayed(const FrontBlock& front, size_t bytes);

    // Sends WOM_LOST through the callback, once per Start. Used by the
    // backend's threads between Start and Stop.
    void ReportLost();

    // Returns every queued block through the callback before it returns and
    // restarts the position at 0.
    void ReturnAll();
    // Frames pulled since Start or the last ReturnAll.
    uint64_t PositionInFrames() { return Played().frames; }
    // The same, with the number of resets so far.
    struct PlayedFrames {
        uint64_t frames = 0;
        uint64_t resets = 0;
    };
    PlayedFrames Played();

private:
    size_t PullLocked(uint8_t* out, size_t bytes, std::unique_lock<std::mutex>& lock);
    void ReturnUsedUp(std::span<WaveHeader* const> usedUp);
    void DeliverReturnedBlocks();
    void CountDelivered(uint64_t count);

    // Blocks one Pull may use up before it hands them back.
    static constexpr size_t kMaximumBlocksPerPull = 128;

    std::mutex mutex_;
    std::condition_variable dataReady_;      // something to pull, or stopping
    std::condition_variable returnsReady_;   // blocks for the completion thread, or stopping
    std::condition_variable delivered_;      // the callback returned more blocks
    // Everything below is guarded by mutex_.
    WaveDoneCallback callback_;
    uint32_t blockAlign_ = 1;
    std::deque<WaveHeader*> queued_;
    size_t frontOffset_ = 0;             // bytes of the front block already pulled
    std::deque<WaveHeader*> returned_;   // reset blocks waiting for the completion thread
    uint64_t finishedCount_ = 0;         // blocks taken off the queue, ever
    uint64_t deliveredCount_ = 0;        // of those, handed to the callback
    uint64_t pulledBytes_ = 0;
    bool paused_ = false;
    bool running_ = false;
    bool lost_ = false;
    uint64_t interruptions_ = 0;         // pauses, resets and the stop, ever
    uint64_t resets_ = 0;
    std::thread completionThread_;
};

// A device whose blocks wait in a WaveBlockQueue: writing, pausing, the
// reset and the position are the queue's; a backend adds how it opens, how
// its thread consumes the queue and how it closes.
class QueuedWaveOutDevice : public WaveOutDevice {
public:
    WaveResult Write(WaveHeader* header) override { return WriteAll({&header, 1}); }
    WaveResult WriteAll(std::span<WaveHeader* const> headers) override {
        queue_.Push(headers);
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
