#pragma once

#include <cstdint>

#include "platform/critical_section.h"

// The pool of output blocks cycling between the decoding thread and the wave
// device. The device side arrives with playback; until then the output stays
// closed, and only the buffer count and the flush of a closed output act.
class WaveOutput {
public:
    static constexpr uint32_t kMinimumBufferCount = 2;
    static constexpr uint32_t kMaximumBufferCount = 128;

    // Refused outside 2..128 or while the device is open.
    int SetBufferCount(uint32_t count);
    uint32_t GetBufferCount() const { return bufferCount_; }

    bool IsOpen() const { return false; }
    // Returns every queued block and restarts the played position; nothing to
    // do while closed.
    void Flush() {}

private:
    platform::CriticalSection deviceLock_;
    uint32_t bufferCount_ = 8;  // Guarded by deviceLock_.
};
