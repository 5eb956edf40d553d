#pragma once

// The wave output device: blocks of PCM are written to it and come back
// through a done callback once played.
//
// Implements the device semantics the engine's output relies on:
//   - Open with a PCM format and a done callback; "allocated" while another
//     player holds the device, so the caller can retry;
//   - Write queues a block (WriteAll several, waking the backend once);
//     blocks play in order and come back, one by one, through the callback
//     with WOM_DONE, on a thread of the backend;
//   - Pause and Restart; a paused device keeps its queue and position;
//   - Reset returns every queued block through the callback before it
//     returns, and restarts the position at 0;
//   - Position in samples (frames) played since open or the last reset;
//   - WOM_LOST, once, when the device stops playing by itself;
//   - Close.
// Backends: sdl (real sound), null (real-time pace, no sound) and capture
// (no pacing, the PCM kept in a WAV file or in memory).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace platform {

constexpr uint32_t WOM_DONE = 0x3BD;
// Sent once through the done callback, with no block, when the device stopped
// playing by itself (the sound server went away, the card was unplugged, the
// capture file could not be written). The blocks it holds come back only
// with a reset or the close.
constexpr uint32_t WOM_LOST = 0x3BE;

struct WaveFormat {
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;  // 8 (unsigned) or 16 (signed little-endian)

    uint32_t BlockAlign() const { return uint32_t{channels} * bitsPerSample / 8; }
};

// One block of PCM, owned by the writer until the device has returned it.
struct WaveHeader {
    uint8_t* data = nullptr;
    uint32_t bufferLength = 0;    // bytes of PCM in `data`
    uint32_t bytesRecorded = 0;
    void* user = nullptr;         // for the owner of the block
    uint32_t flags = 0;
};

enum WaveResult : int {
    WAVE_OK = 0,
    WAVE_ERROR = 1,
    WAVE_ERROR_ALLOCATED = 4,     // another program holds the device
    WAVE_ERROR_NO_DEVICE = 6,
    WAVE_ERROR_BAD_FORMAT = 32,
};

using WaveDoneCallback = std::function<void(uint32_t message, WaveHeader* header)>;

class WaveOutDevice {
public:
    virtual ~WaveOutDevice() = default;

    virtual WaveResult Open(const WaveFormat& format, WaveDoneCallback callback) = 0;
    virtual void Close() = 0;
    virtual WaveResult Write(WaveHeader* header) = 0;
    virtual WaveResult WriteAll(std::span<WaveHeader* const> headers) {
        for (WaveHeader* header : headers) {
            if (const WaveResult result = Write(header); result != WAVE_OK) return result;
        }
        return WAVE_OK;
    }
    virtual void Pause() = 0;
    virtual void Restart() = 0;
    virtual void Reset() = 0;
    virtual uint64_t Position() = 0;
};

// Where a capture device puts what it plays: a WAV file when `wavePath` is
// set, and `onPcm` (on the device's thread) when given. With neither, the
// PCM is discarded.
struct CaptureSink {
    std::string wavePath;
    std::function<void(const WaveFormat& format, const uint8_t* pcm, size_t bytes)> onPcm;
};

enum class WaveBackend { Sdl, Null, Capture };

// The device for `backend`, with TUNELARK_AUDIO (sdl, null or capture:FILE)
// taking precedence when it is set.
std::unique_ptr<WaveOutDevice> CreateWaveOutDevice(WaveBackend backend, const CaptureSink& sink = {});

}  // namespace platform
