#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/clock.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/wave_out.h"

namespace engine {

// The pool of equally sized output blocks cycling between the decoding
// thread, which fills them, and the wave device, which plays them and hands
// them back through its done callback on a thread of its own.
//
// The hand-off goes in batches when the pool allows: the decoding thread is
// woken once half the pool is free rather than for every block, and filled
// blocks reach the device half a pool at a time (at once when the pool is
// full, or before the thread waits for anything else), so neither side wakes
// the other for every block. Order and content are as written.
//
// Lock order: the device lock, then the queue lock. The done callback takes
// only the queue lock, so a reset that waits for the callbacks cannot
// deadlock against it.
class WaveOutput {
public:
    static constexpr uint32_t kMinimumBufferCount = 2;
    static constexpr uint32_t kMaximumBufferCount = 128;

    WaveOutput();
    ~WaveOutput();
    WaveOutput(const WaveOutput&) = delete;
    WaveOutput& operator=(const WaveOutput&) = delete;

    // The device that the next Open uses.
    void SetDevice(platform::WaveBackend backend, const platform::CaptureSink& sink);

    // Opens the device paused-free with a pool of blocks of `blockSize` bytes.
    int Open(uint32_t blockSize, uint32_t channels, uint32_t sampleRate, uint32_t bitsPerSample);
    void Close();
    // Returns every queued block at once and leaves the device paused.
    void Flush();
    void SetPaused(bool paused);
    // Resumes the device if `stillWanted` holds when checked under the device
    // lock, so that it cannot undo a pause made in between.
    void ResumeIf(const std::function<bool()>& stillWanted);

    // Waits until a block is free and returns it; nullptr while closed or
    // once the device is lost.
    platform::WaveHeader* AcquireBlock();
    // Counts the block as queued; it reaches the device with its batch.
    void QueueBlock(platform::WaveHeader* header);
    // Hands the device the blocks still held back: before a drain, and
    // before the decoding thread waits for its input.
    void SendHeldBlocks();

    // The drain's poll: waits until `deadline` on the installed clock, or
    // not at all once the pool is empty. A flush (a stop's or a seek's) ends
    // the wait at once.
    void WaitUnlessFlushed(platform::ClockTime deadline);

    // Frames played since open or the last flush; 0 when closed.
    uint64_t PlayedSamples();
    uint32_t QueuedCount() const { return static_cast<uint32_t>(std::max(queuedCount_.load(), 0)); }

    // Refused outside 2..128 or while the device is open.
    int SetBufferCount(uint32_t count);
    uint32_t GetBufferCount() const { return bufferCount_.load(); }
    bool IsOpen() const { return open_.load(); }
    // The device stopped playing by itself (the sound server went away, the
    // card was unplugged) since the last open.
    bool DeviceLost() const { return deviceLost_.load(); }

    // Peak levels 0..100 of the most recently completed block.
    // Peaks are measured as blocks finish playing only while someone reads
    // them; on by default.
    void SetMeasuringLevels(bool measuring) { measuringLevels_.store(measuring, std::memory_order_relaxed); }
    bool MeasuringLevels() const { return measuringLevels_.load(std::memory_order_relaxed); }
    int32_t LeftLevel() const { return leftLevel_.load(std::memory_order_relaxed); }
    int32_t RightLevel() const { return rightLevel_.load(std::memory_order_relaxed); }

private:
    void OnDeviceMessage(uint32_t message, platform::WaveHeader* header);
    void MeasureLevels(const platform::WaveHeader& header);
    platform::WaveResult OpenDeviceWithRetries();

    std::atomic<bool> measuringLevels_{true};
    std::atomic<int32_t> leftLevel_{0};
    std::atomic<int32_t> rightLevel_{0};

    platform::CriticalSection deviceLock_;
    // Guarded by the device lock.
    platform::WaveBackend backend_ = platform::WaveBackend::Sdl;
    platform::CaptureSink sink_;
    std::unique_ptr<platform::WaveOutDevice> device_;
    // False once SetDevice chose another device than the one kept.
    bool deviceChosen_ = false;
    std::vector<platform::WaveHeader> headers_;
    std::vector<uint8_t> data_;
    uint32_t blockSize_ = 16384;
    platform::WaveFormat format_;
    std::atomic<bool> open_{false};
    // Set by the device's lost report; cleared by the next open.
    std::atomic<bool> deviceLost_{false};
    std::atomic<uint32_t> bufferCount_{8};

    // Signalled from the moment a batch of blocks is free (any block while
    // the device is paused) until the pool is full again.
    platform::Event bufferFree_;
    // The device is paused; written under the device lock.
    std::atomic<bool> devicePaused_{false};
    // Blocks per hand-off: half the pool. Set at open.
    std::atomic<uint32_t> batch_{1};

    platform::CriticalSection queueLock_;
    // Changed under the queue lock, read as single words. A completion may be
    // counted just before the matching increase, hence signed.
    std::atomic<int32_t> queuedCount_{0};
    // Only the decoding thread and Flush/Close touch it.
    std::atomic<uint32_t> nextIndex_{0};
    // Queued blocks not yet written to the device, oldest first. Guarded by
    // the queue lock.
    std::vector<platform::WaveHeader*> held_;

    // Flushes so far, guarded by flushLock_; flushed_ tells a drain's wait.
    std::mutex flushLock_;
    std::condition_variable flushed_;
    uint64_t flushes_ = 0;
};

}  // namespace engine
