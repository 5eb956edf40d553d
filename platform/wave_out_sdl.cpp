// The sdl device: real sound through SDL2 audio. SDL converts any rate and
// both sample sizes to what the card takes; its audio thread pulls the queued
// blocks. Pausing pauses SDL's device and parks its thread, so a paused
// player costs nothing. A device SDL finds gone while it plays (the sound
// server went away, the card was unplugged) is reported lost.

#include <SDL.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/event.h"
#include "platform/wave_block_queue.h"
#include "platform/wave_out_backends.h"
#include "platform/wave_volume.h"

namespace platform {
namespace {

// SDL's callback asks for about 46 ms of audio at a time (2048 frames at
// 44100 Hz), whatever the rate. Each callback wakes SDL's thread, which costs
// more than the copy it makes, and a sound server holds about one callback's
// worth after a pause. Closing the device waits for two callbacks' worth, so
// the next open after a stop at a low rate waits no longer than at 44100 Hz.
constexpr uint32_t kCallbackMicroseconds = 46'000;

// A power of two of frames, as SDL prefers: the largest within half as much
// again as that duration.
Uint16 CallbackFrames(uint32_t sampleRate) {
    const uint64_t limit = uint64_t{sampleRate} * kCallbackMicroseconds * 3 / 2 / 1'000'000;
    Uint16 frames = 64;
    while (frames * 2 <= limit && frames < 8192) frames = static_cast<Uint16>(frames * 2);
    return frames;
}
constexpr Uint8 kUnsignedSilence = 0x80;

// A paused SDL device still wakes its thread every callback period to write
// silence. While paused, a parking thread holds the device's lock instead, so
// SDL's thread sleeps on it until playing resumes. The lock is taken and
// given back on the parking thread, whichever thread pauses and restarts.
class ParkedDevice {
public:
    ~ParkedDevice() { Release(); }

    bool IsParked() const { return holder_.joinable(); }
    void Park(SDL_AudioDeviceID device) {
        release_.Reset();
        holder_ = std::thread([this, device] {
            SDL_LockAudioDevice(device);
            release_.Wait();
            SDL_UnlockAudioDevice(device);
        });
    }
    // Before anything else takes the device's lock: pausing and closing do.
    void Release() {
        if (!holder_.joinable()) return;
        release_.Set();
        holder_.join();
    }

private:
    Event release_;
    std::thread holder_;
};

class SdlWaveOutDevice final : public QueuedWaveOutDevice {
public:
    ~SdlWaveOutDevice() override {
        Close();
        FinishClosing();
    }

    WaveResult Open(const WaveFormat& format, WaveDoneCallback callback) override {
        if (format.BlockAlign() == 0 || format.sampleRate == 0) return WAVE_ERROR_BAD_FORMAT;
        if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return WAVE_ERROR_BAD_FORMAT;
        Close();
        // A card may take one client at a time: the last device must be gone.
        FinishClosing();
        // Held only while a device is open: some audio drivers run threads
        // that wake on their own (hot-plug checks) while the subsystem lives.
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return WAVE_ERROR_NO_DEVICE;
        SDL_AudioSpec wanted{};
        wanted.freq = static_cast<int>(format.sampleRate);
        wanted.format = format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        wanted.channels = static_cast<Uint8>(format.channels);
        wanted.samples = CallbackFrames(format.sampleRate);
        wanted.callback = &SdlWaveOutDevice::FillAudio;
        wanted.userdata = this;
        silence_ = format.bitsPerSample == 8 ? kUnsignedSilence : 0;
        format_ = format;

        queue_.Start(std::move(callback), format.BlockAlign());
        // No allowed changes: SDL converts to whatever the card needs.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        if (device_ == 0) {
            queue_.Stop();
            const bool busy = std::strstr(SDL_GetError(), "busy") != nullptr;
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return busy ? WAVE_ERROR_ALLOCATED : WAVE_ERROR_NO_DEVICE;
        }
        watched_ = device_;
        SDL_AddEventWatch(&SdlWaveOutDevice::WatchForRemoval, this);
        SDL_PauseAudioDevice(device_, 0);
        return WAVE_OK;
    }

    // The device is silent once paused: SDL calls back under its device lock
    // and not at all while paused, so nothing pulls after the pause returns.
    // SDL's own close then waits for its audio thread to play out what the
    // driver holds (tens of milliseconds); a closer thread does that, so a
    // stop returns as soon as the sound ends.
    void Close() override {
        if (device_ == 0) return;
        // Waits for a watch that is running to return.
        SDL_DelEventWatch(&SdlWaveOutDevice::WatchForRemoval, this);
        watched_ = 0;
        parked_.Release();
        SDL_PauseAudioDevice(device_, 1);
        queue_.Stop();
        FinishClosing();
        closing_ = std::thread([device = device_] {
            SDL_CloseAudioDevice(device);
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        });
        device_ = 0;
    }

    void Pause() override {
        QueuedWaveOutDevice::Pause();
        if (device_ == 0 || parked_.IsParked()) return;
        SDL_PauseAudioDevice(device_, 1);
        parked_.Park(device_);
    }
    void Restart() override {
        QueuedWaveOutDevice::Restart();
        if (device_ == 0) return;
        parked_.Release();
        SDL_PauseAudioDevice(device_, 0);
    }

private:
    void FinishClosing() {
        if (closing_.joinable()) closing_.join();
    }

    static void SDLCALL FillAudio(void* userdata, Uint8* stream, int length) {
        auto* self = static_cast<SdlWaveOutDevice*>(userdata);
        const size_t wanted = static_cast<size_t>(length);
        const size_t pulled = self->queue_.Pull(stream, wanted);
        std::memset(stream + pulled, self->silence_, wanted - pulled);
        // The device's volume, as a sound card would apply it.
        ApplyWaveOutVolume(GetWaveOutVolume(), self->format_.bitsPerSample, self->format_.channels, stream, pulled);
    }

    // SDL sends the removal of an open device as an event on its own audio
    // thread, and runs the watches there, whether or not anyone reads the
    // event queue (the command-line player does not).
    static int SDLCALL WatchForRemoval(void* userdata, SDL_Event* event) {
        auto* self = static_cast<SdlWaveOutDevice*>(userdata);
        if (event->type == SDL_AUDIODEVICEREMOVED && event->adevice.iscapture == 0 &&
            event->adevice.which == self->watched_.load()) {
            self->queue_.ReportLost();
        }
        return 1;
    }

    SDL_AudioDeviceID device_ = 0;
    // The open device, for the watch on SDL's thread; 0 when none is.
    std::atomic<SDL_AudioDeviceID> watched_{0};
    ParkedDevice parked_;
    // Closes the previous device; joined before the next open and before
    // the device object goes.
    std::thread closing_;
    // Set before the device opens; read by SDL's thread.
    Uint8 silence_ = 0;
    WaveFormat format_;
};

}  // namespace

std::unique_ptr<WaveOutDevice> CreateSdlWaveOutDevice() {
    return std::make_unique<SdlWaveOutDevice>();
}

}  // namespace platform
