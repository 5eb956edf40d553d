#pragma once

// How much of a recording's power lies between two frequencies: enough of
// a spectrum to tell which equalizer bands moved, without a DSP library.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace test {

// The mean power per DFT bin between `lowHz` and `highHz` of the first
// channel of interleaved 16-bit PCM, over the frames from `firstFrame` up to
// `endFrame`: Hann-windowed 512-point transforms of consecutive blocks, each
// bin by the Goertzel recurrence.
double BandPower(const std::vector<int16_t>& samples, int channels, int sampleRate, double lowHz, double highHz,
                 size_t firstFrame, size_t endFrame);

}  // namespace test
