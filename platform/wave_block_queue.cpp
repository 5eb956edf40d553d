#include "platform/wave_block_queue.h"

#include <algorithm>
#include <cstring>
#include <utility>

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
    lost_ = false;
    running_ = true;
    completionThread_ = std::thread([this] { DeliverReturnedBlocks(); });
}

void WaveBlockQueue::Stop() {
    ReturnAll();
    {
        std::lock_guard lock(mutex_);
        if (!running_) return;
        running_ = false;
        ++interruptions_;
    }
    dataReady_.notify_all();
    returnsReady_.notify_all();
    completionThread_.join();
}

void WaveBlockQueue::Push(std::span<WaveHeader* const> headers) {
    {
        std::lock_guard lock(mutex_);
        queued_.insert(queued_.end(), headers.begin(), headers.end());
    }
    dataReady_.notify_one();
}

void WaveBlockQueue::SetPaused(bool paused) {
    {
        std::lock_guard lock(mutex_);
        paused_ = paused;
        ++interruptions_;
    }
    dataReady_.notify_all();
}

size_t WaveBlockQueue::Pull(uint8_t* out, size_t bytes) {
    std::unique_lock lock(mutex_);
    if (paused_) return 0;
    return PullLocked(out, bytes, lock);
}

void WaveBlockQueue::TakePlayed(const FrontBlock& front, size_t bytes) {
    std::unique_lock lock(mutex_);
    if (resets_ == front.resets) PullLocked(nullptr, std::min(bytes, front.bytes), lock);
}

WaveBlockQueue::FrontBlock WaveBlockQueue::Front(size_t limit) {
    std::lock_guard lock(mutex_);
    if (queued_.empty()) return {0, resets_};
    size_t bytes = queued_.front()->bufferLength - frontOffset_;
    for (size_t next = 1; next + 1 < queued_.size() && bytes + queued_[next]->bufferLength <= limit; ++next) {
        bytes += queued_[next]->bufferLength;
    }
    return {bytes, resets_};
}

bool WaveBlockQueue::SleepUntil(ClockTime deadline) {
    std::unique_lock lock(mutex_);
    const uint64_t before = interruptions_;
    return !WaitUntil(dataReady_, lock, deadline, [&] { return interruptions_ != before; });
}

size_t WaveBlockQueue::PullLocked(uint8_t* out, size_t bytes, std::unique_lock<std::mutex>& lock) {
    size_t taken = 0;
    WaveHeader* usedUp[kMaximumBlocksPerPull];
    size_t usedUpCount = 0;
    while (!queued_.empty() && usedUpCount < kMaximumBlocksPerPull) {
        WaveHeader* front = queued_.front();
        const size_t available = front->bufferLength - frontOffset_;
        // An empty block at the front is retired by any pull, even of no
        // bytes: nothing else would ever take it.
        if (taken >= bytes && available > 0) break;
        const size_t count = std::min(available, bytes - taken);
        if (out != nullptr && count > 0) std::memcpy(out + taken, front->data + frontOffset_, count);
        taken += count;
        frontOffset_ += count;
        if (frontOffset_ >= front->bufferLength) {
            queued_.pop_front();
            frontOffset_ = 0;
            usedUp[usedUpCount++] = front;
            ++finishedCount_;
        }
    }
    pulledBytes_ += taken;
    lock.unlock();
    ReturnUsedUp({usedUp, usedUpCount});
    return taken;
}

size_t WaveBlockQueue::PullBlock(const std::function<void(const uint8_t* pcm, size_t bytes)>& read) {
    WaveHeader* block = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (paused_ || queued_.empty()) return 0;
        block = queued_.front();
        queued_.pop_front();
        ++finishedCount_;
        pulledBytes_ += block->bufferLength;
    }
    // Off the queue but not yet delivered: a reset waits for it, so it stays
    // the reader's until returned.
    const size_t bytes = block->bufferLength;
    read(block->data, bytes);
    ReturnUsedUp({&block, 1});
    return bytes;
}

void WaveBlockQueue::ReturnUsedUp(std::span<WaveHeader* const> usedUp) {
    // The pulling thread is the backend's own, so it may run the callback;
    // callback_ changes only in Start, while no backend thread pulls.
    for (WaveHeader* header : usedUp) {
        if (callback_) callback_(WOM_DONE, header);
    }
    if (!usedUp.empty()) CountDelivered(usedUp.size());
}

void WaveBlockQueue::ReportLost() {
    {
        std::lock_guard lock(mutex_);
        if (!running_ || std::exchange(lost_, true)) return;
    }
    // As with the returned blocks, callback_ cannot change meanwhile.
    if (callback_) callback_(WOM_LOST, nullptr);
}

void WaveBlockQueue::CountDelivered(uint64_t count) {
    {
        std::lock_guard lock(mutex_);
        deliveredCount_ += count;
    }
    delivered_.notify_all();
}

bool WaveBlockQueue::WaitForData() {
    std::unique_lock lock(mutex_);
    dataReady_.wait(lock, [this] { return !running_ || (!paused_ && !queued_.empty()); });
    return running_;
}

void WaveBlockQueue::ReturnAll() {
    std::unique_lock lock(mutex_);
    // Blocks come back in the order they were written: the ones a puller is
    // handing back go first. The owner of the blocks relies on that order to
    // know which block is free.
    const uint64_t handedOut = finishedCount_;
    delivered_.wait(lock, [&] { return !running_ || deliveredCount_ >= handedOut; });
    while (!queued_.empty()) {
        returned_.push_back(queued_.front());
        queued_.pop_front();
        ++finishedCount_;
    }
    frontOffset_ = 0;
    pulledBytes_ = 0;
    ++interruptions_;
    ++resets_;
    const uint64_t target = finishedCount_;
    if (!running_) return;
    dataReady_.notify_all();
    returnsReady_.notify_one();
    delivered_.wait(lock, [&] { return deliveredCount_ >= target; });
}

WaveBlockQueue::PlayedFrames WaveBlockQueue::Played() {
    std::lock_guard lock(mutex_);
    return {pulledBytes_ / blockAlign_, resets_};
}

void WaveBlockQueue::DeliverReturnedBlocks() {
    std::unique_lock lock(mutex_);
    for (;;) {
        returnsReady_.wait(lock, [this] { return !running_ || !returned_.empty(); });
        if (returned_.empty()) return;  // stopped with nothing left to return
        WaveHeader* header = returned_.front();
        returned_.pop_front();
        lock.unlock();
        if (callback_) callback_(WOM_DONE, header);
        lock.lock();
        ++deliveredCount_;
        delivered_.notify_all();
    }
}

}  // namespace platform
