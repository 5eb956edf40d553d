#include "platform/wave_block_queue.h"

#include <algorithm>
#include <cstring>

namespace platform {

WaveBlockQueue::~WaveBlockQueue() {
    Stop();
}

void WaveBlockQueue::Start(WaveDoneCallback callback, uint32_t blockAlign) {
    Stop();
    std::lock_guard lock(mutex_);
    callback_ = std::move(callback);
    blockAlign_ = std::max<uint32_t>(blockAlign, 1);
    pulledBytes_ = 0;
    paused_ = false;
    running_ = true;
    completionThread_ = std::thread([this] { DeliverFinishedBlocks(); });
}

void WaveBlockQueue::Stop() {
    ReturnAll();
    {
        std::lock_guard lock(mutex_);
        if (!running_) return;
        running_ = false;
    }
    changed_.notify_all();
    completionThread_.join();
}

void WaveBlockQueue::Push(WaveHeader* header) {
    {
        std::lock_guard lock(mutex_);
        queued_.push_back(header);
    }
    changed_.notify_all();
}

void WaveBlockQueue::SetPaused(bool paused) {
    {
        std::lock_guard lock(mutex_);
        paused_ = paused;
    }
    changed_.notify_all();
}

void WaveBlockQueue::FinishLocked(WaveHeader* header) {
    finished_.push_back(header);
    ++finishedCount_;
}

size_t WaveBlockQueue::Pull(uint8_t* out, size_t bytes) {
    size_t taken = 0;
    bool finishedAny = false;
    {
        std::lock_guard lock(mutex_);
        if (paused_) return 0;
        while (taken < bytes && !queued_.empty()) {
            WaveHeader* front = queued_.front();
            const size_t available = front->bufferLength - frontOffset_;
            const size_t count = std::min(available, bytes - taken);
            if (out != nullptr && count > 0) std::memcpy(out + taken, front->data + frontOffset_, count);
            taken += count;
            frontOffset_ += count;
            if (frontOffset_ >= front->bufferLength) {
                queued_.pop_front();
                frontOffset_ = 0;
                FinishLocked(front);
                finishedAny = true;
            }
        }
        pulledBytes_ += taken;
    }
    if (finishedAny) changed_.notify_all();
    return taken;
}

bool WaveBlockQueue::WaitForData() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !running_ || (!paused_ && !queued_.empty()); });
    return running_;
}

void WaveBlockQueue::ReturnAll() {
    std::unique_lock lock(mutex_);
    while (!queued_.empty()) {
        FinishLocked(queued_.front());
        queued_.pop_front();
    }
    frontOffset_ = 0;
    pulledBytes_ = 0;
    const uint64_t target = finishedCount_;
    changed_.notify_all();
    if (!running_) return;
    changed_.wait(lock, [&] { return deliveredCount_ >= target; });
}

uint64_t WaveBlockQueue::PositionInFrames() {
    std::lock_guard lock(mutex_);
    return pulledBytes_ / blockAlign_;
}

void WaveBlockQueue::DeliverFinishedBlocks() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !running_ || !finished_.empty(); });
        if (finished_.empty()) return;  // stopped with nothing left to return
        WaveHeader* header = finished_.front();
        finished_.pop_front();
        lock.unlock();
        // callback_ changes only in Start, while this thread does not run.
        if (callback_) callback_(WOM_DONE, header);
        lock.lock();
        ++deliveredCount_;
        changed_.notify_all();
    }
}

}  // namespace platform
