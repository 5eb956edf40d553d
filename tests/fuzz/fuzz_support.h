#pragma once

// What the harnesses share: the check that ends a run on a broken promise,
// one scratch directory per fuzzing process for inputs that must be files,
// and playback through a whole engine on the capture device under a watchdog,
// so that a decode that never ends is a finding rather than a stuck run.

#include <stdlib.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

#include "engine/player.h"
#include "engine/player_engine.h"
#include "platform/recording_window.h"
#include "platform/wave_out.h"

namespace fuzz {

// Ends the run with a crash report when a promise of the code under test is broken.
inline void Check(bool holds, const char* promise) {
    if (holds) return;
    std::fprintf(stderr, "fuzz: broken promise: %s\n", promise);
    std::abort();
}

// A directory of this process's own under the system's temporary directory,
// removed with its contents when the process ends normally.
inline const std::string& ScratchDirectory() {
    struct Scratch {
        Scratch() {
            std::string pattern = (std::filesystem::temp_directory_path() / "tunelark-fuzz-XXXXXX").string();
            Check(mkdtemp(pattern.data()) != nullptr, "a scratch directory can be made");
            path = pattern;
        }
        ~Scratch() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
        std::string path;
    };
    static const Scratch scratch;
    return scratch.path;
}

// Writes `bytes` to `name` inside the scratch directory and returns its path.
inline std::string WriteScratchFile(std::string_view name, const uint8_t* bytes, size_t size) {
    const std::string path = ScratchDirectory() + "/" + std::string(name);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    file.close();
    Check(file.good(), "the scratch file can be written");
    return path;
}

// Aborts the process when Disarm is not called within `limit` of the
// construction: a hang in the code under test then ends as a crash whose
// report names what hung.
class Watchdog {
public:
    Watchdog(std::chrono::milliseconds limit, const char* what) : what_(what) {
        thread_ = std::thread([this, deadline = std::chrono::steady_clock::now() + limit] {
            std::unique_lock lock(mutex_);
            if (!disarmed_.wait_until(lock, deadline, [this] { return done_; })) {
                std::fprintf(stderr, "fuzz: hang: %s did not finish in time\n", what_);
                std::abort();
            }
        });
    }
    ~Watchdog() { Disarm(); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void Disarm() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        disarmed_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

private:
    const char* what_;
    std::mutex mutex_;
    std::condition_variable disarmed_;
    bool done_ = false;  // Guarded by mutex_.
    std::thread thread_;
};

// Longest that opening, playing to the end and tearing down may take for
// one input; the inputs are small, so anything near this is a hang.
constexpr std::chrono::seconds kPlaybackLimit{10};

// What one playback delivered to the capture device.
struct Played {
    bool opened = false;
    PlayerSource kind = SOURCE_NONE;
    PlayerSourceFormat openedFormat;
    size_t bytes = 0;
    platform::WaveFormat format;
};

// Opens the file at `path` in a fresh engine on the capture device, plays it
// as fast as it decodes and waits for the stop, all under the watchdog. On
// the way it checks what holds for any source: the device is handed whole
// sample frames of one unchanging format, and playback ends by itself.
inline Played PlayFile(const std::string& path) {
    struct Capture {
        std::mutex mutex;
        Played played;
        bool formatChanged = false;
        bool partialFrame = false;
    } capture;
    platform::CaptureSink sink;
    sink.onPcm = [&capture](const platform::WaveFormat& format, const uint8_t*, size_t bytes) {
        std::lock_guard lock(capture.mutex);
        Played& played = capture.played;
        if (played.bytes != 0 && (format.channels != played.format.channels ||
                                  format.sampleRate != played.format.sampleRate ||
                                  format.bitsPerSample != played.format.bitsPerSample)) {
            capture.formatChanged = true;
        }
        if (format.BlockAlign() == 0 || bytes % format.BlockAlign() != 0) capture.partialFrame = true;
        played.format = format;
        played.bytes += bytes;
    };

    Watchdog watchdog(kPlaybackLimit, "opening, playing and stopping");
    Played result;
    {
        platform::RecordingWindow window;
        const std::unique_ptr<PlayerEngine, void (*)(PlayerEngine*)> engine(PlayerCreate(), PlayerDestroy);
        PlayerSetNotifyWindow(engine.get(), &window);
        PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, sink);
        if (PlayerOpen(engine.get(), path) == 1) {
            result.opened = true;
            result.kind = PlayerGetSourceKind(engine.get());
            PlayerGetSourceFormat(engine.get(), &result.openedFormat);
            if (PlayerPlay(engine.get()) == 1) {
                // The watchdog bounds the wait: a playback that never stops aborts there.
                const auto stopped = window.WaitFor(
                    [](const platform::PostedMessage& message) {
                        return message.message == WM_PLAYER_STATUS && message.wParam == PLAYER_STOPPED;
                    },
                    2 * kPlaybackLimit);
                Check(stopped.has_value(), "playback ends by itself");
            }
            PlayerStop(engine.get());
            Check(PlayerGetStatus(engine.get()) == PLAYER_STOPPED, "stop leaves the player stopped");
        }
    }
    watchdog.Disarm();

    std::lock_guard lock(capture.mutex);
    Check(!capture.formatChanged, "the device's format stays as opened");
    Check(!capture.partialFrame, "the device gets whole sample frames");
    result.bytes = capture.played.bytes;
    result.format = capture.played.format;
    return result;
}

}  // namespace fuzz
