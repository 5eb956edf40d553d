#pragma once

#include <memory>

#include "platform/wave_out.h"

namespace platform {

// One constructor per backend; CreateWaveOutDevice chooses among them.
std::unique_ptr<WaveOutDevice> CreateSdlWaveOutDevice();
std::unique_ptr<WaveOutDevice> CreateNullWaveOutDevice();
std::unique_ptr<WaveOutDevice> CreateCaptureWaveOutDevice(const CaptureSink& sink);

}  // namespace platform
