#include <cstdlib>
#include <string_view>

#include "platform/wave_out_backends.h"

namespace platform {

std::unique_ptr<WaveOutDevice> CreateWaveOutDevice(WaveBackend backend, const CaptureSink& sink) {
    CaptureSink chosenSink = sink;
    if (const char* override = std::getenv("TUNELARK_AUDIO")) {
        const std::string_view choice(override);
        constexpr std::string_view kCapturePrefix = "capture:";
        if (choice == "sdl") {
            backend = WaveBackend::Sdl;
        } else if (choice == "null") {
            backend = WaveBackend::Null;
        } else if (choice.substr(0, kCapturePrefix.size()) == kCapturePrefix) {
            backend = WaveBackend::Capture;
            chosenSink = CaptureSink{std::string(choice.substr(kCapturePrefix.size())), {}};
        }
    }
    switch (backend) {
        case WaveBackend::Sdl: return CreateSdlWaveOutDevice();
        case WaveBackend::Null: return CreateNullWaveOutDevice();
        case WaveBackend::Capture: return CreateCaptureWaveOutDevice(chosenSink);
    }
    return CreateNullWaveOutDevice();
}

}  // namespace platform
