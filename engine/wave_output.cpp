#include "engine/wave_output.h"

int WaveOutput::SetBufferCount(uint32_t count) {
    platform::CriticalSectionGuard guard(deviceLock_);
    if (count < kMinimumBufferCount || count > kMaximumBufferCount || IsOpen()) return 0;
    bufferCount_ = count;
    return 1;
}
