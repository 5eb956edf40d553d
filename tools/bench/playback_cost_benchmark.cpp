// What playing costs besides the decoding, and how fast the engine reacts.
//
// Plays 30 s of a 44.1 kHz stereo MP3 in real time through the null device
// and through the sdl device on SDL's dummy driver, and prints the processor
// time of the whole process as a multiple of the plain libmad loop's time
// for the same audio. Then prints, as the median of several tries, the time
// from PlayerPlay to the first PCM the device plays, and from a stop request
// during playback to the device being silent (PlayerStop returning: the
// device is paused and reset by then; SDL may still be closing its device
// in the background).
//
//   playback_cost_benchmark [SECONDS]

#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/player.h"
#include "platform/event.h"
#include "tools/bench/fixtures_directory.h"
#include "tools/cli/playback_watch.h"
#include "tools/reference/median.h"
#include "tools/reference/plain_libmad_decode.h"
#include "tools/reference/process_cpu_time.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultSeconds = 30;
constexpr int kReactionTries = 9;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A 44.1 kHz stereo 128 kbit/s MP3 at least `seconds` long: the 5-second
// fixture without a header frame, repeated frame-exactly.
std::string MakeLongMp3(int seconds) {
    const std::vector<uint8_t> piece = ReadFileBytes(std::string(FixturesDirectory()) + "/cbr128_noinfo.mp3");
    if (piece.empty()) return {};
    const std::string path = (std::filesystem::temp_directory_path() / "tunelark-playback-cost.mp3").string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int copy = 0; copy < seconds / 5 + 1; ++copy) out.write(reinterpret_cast<const char*>(piece.data()), piece.size());
    return path;
}

// Processor seconds the plain libmad loop spends on each second of the
// file: the median of several measurements, since a virtual machine's speed
// drifts from one second to the next.
double PlainCostPerAudioSecond(const std::string& path) {
    constexpr int kMeasurements = 7;
    constexpr double kSecondsEach = 0.1;
    const std::vector<uint8_t> input = WithMadGuard(ReadFileBytes(path));
    std::vector<int16_t> block(32 * 1024);
    std::vector<double> costs;
    for (int measurement = 0; measurement < kMeasurements; ++measurement) {
        double spent = 0;
        double audio = 0;
        while (spent < kSecondsEach) {
            const double start = ProcessCpuSeconds();
            const PlainDecodeResult result = DecodeWithPlainLibmadLoop(input, block);
            spent += ProcessCpuSeconds() - start;
            if (result.sampleRate == 0) return 0;
            audio += double(result.frames) / result.sampleRate;
        }
        costs.push_back(spent / audio);
    }
    return Median(costs);
}

struct Device {
    const char* name;
    platform::WaveBackend backend;
};

void PrintRealTimeCost(const Device& device, const std::string& path, int seconds, double plainPerSecond) {
    PlayerEngine* engine = PlayerCreate();
    PlaybackWatch watch;
    PlayerSetNotifyWindow(engine, &watch);
    PlayerSetOutputDevice(engine, device.backend, {});
    if (!PlayerOpen(engine, path)) {
        std::printf("%-26s cannot open the file\n", device.name);
        PlayerDestroy(engine);
        return;
    }
    const double cpuStart = ProcessCpuSeconds();
    const long wakeUpsStart = ProcessWakeUps();
    const Clock::time_point start = Clock::now();
    if (!PlayerPlay(engine)) {
        std::printf("%-26s cannot play\n", device.name);
        PlayerDestroy(engine);
        return;
    }
    const Clock::time_point end = start + std::chrono::seconds(seconds);
    while (!watch.Stopped() && Clock::now() < end) {
        watch.Wait(std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()));
    }
    const double played = PlayerGetPosition(engine) / 1000.0;
    const double wall = MillisecondsSince(start) / 1000.0;
    const double cpu = ProcessCpuSeconds() - cpuStart;
    const double wakeUpsPerSecond = (ProcessWakeUps() - wakeUpsStart) / wall;
    PlayerStop(engine);
    PlayerDestroy(engine);
    const double plain = plainPerSecond * played;
    std::printf("%-26s %5.1f s played in %5.1f s: %7.1f ms of processor time, %4.2f x the plain loop's %6.1f ms;"
                " %4.1f wake-ups a second\n",
                device.name, played, wall, cpu * 1000, plain > 0 ? cpu / plain : 0.0, plain * 1000, wakeUpsPerSecond);
}

// What one sleep and wake-up of a thread costs this machine in processor
// time: on a virtual machine it can outweigh the work a wake-up does.
double MicrosecondsPerWakeUp() {
    constexpr int kWakeUps = 200;
    const double start = ProcessCpuSeconds();
    for (int wake = 0; wake < kWakeUps; ++wake) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return (ProcessCpuSeconds() - start) / kWakeUps * 1e6;
}

// PlayerPlay to the first PCM a capture device takes: the decoding thread
// starts, fills the pool and starts the device.
double MillisecondsToFirstSound(const std::string& path) {
    std::atomic<bool> heard{false};
    platform::Event firstPcm;
    platform::CaptureSink sink;
    sink.onPcm = [&](const platform::WaveFormat&, const uint8_t*, size_t) {
        if (!heard.exchange(true)) firstPcm.Set();
    };
    PlayerEngine* engine = PlayerCreate();
    PlayerSetOutputDevice(engine, platform::WaveBackend::Capture, sink);
    PlayerOpen(engine, path);
    const Clock::time_point start = Clock::now();
    PlayerPlay(engine);
    const bool started = firstPcm.WaitFor(std::chrono::seconds(10));
    const double elapsed = MillisecondsSince(start);
    PlayerDestroy(engine);
    return started ? elapsed : -1;
}

// A stop request in the middle of real-time playback to the device being
// silent.
double MillisecondsToSilence(const std::string& path, platform::WaveBackend backend) {
    PlayerEngine* engine = PlayerCreate();
    PlayerSetOutputDevice(engine, backend, {});
    PlayerOpen(engine, path);
    PlayerPlay(engine);
    // Into the track, with the pool full and the device playing.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const Clock::time_point start = Clock::now();
    PlayerStop(engine);
    const double elapsed = MillisecondsSince(start);
    PlayerDestroy(engine);
    return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultSeconds;
    // The devices are chosen here, whatever the environment says; SDL plays
    // to its dummy driver, which keeps real time without a sound card.
    unsetenv("TUNELARK_AUDIO");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string path = MakeLongMp3(seconds);
    if (path.empty()) {
        std::fprintf(stderr, "playback_cost_benchmark: no fixtures in %s (run the test suite first)\n",
                     FixturesDirectory());
        return 1;
    }
    std::printf("real-time playback of %d s (goal: at most 1.5 x the plain loop)\n", seconds);
    std::printf("%-26s %7.1f us of processor time\n", "one wake-up of a thread:", MicrosecondsPerWakeUp());
    for (const Device& device : {Device{"null device:", platform::WaveBackend::Null},
                                 Device{"sdl device (dummy driver):", platform::WaveBackend::Sdl}}) {
        // Measured again right before each run, at the machine's speed of the moment.
        PrintRealTimeCost(device, path, seconds, PlainCostPerAudioSecond(path));
    }

    std::vector<double> toSound, toSilenceNull, toSilenceSdl;
    for (int attempt = 0; attempt < kReactionTries; ++attempt) {
        toSound.push_back(MillisecondsToFirstSound(path));
        toSilenceNull.push_back(MillisecondsToSilence(path, platform::WaveBackend::Null));
        toSilenceSdl.push_back(MillisecondsToSilence(path, platform::WaveBackend::Sdl));
    }
    std::printf("reaction times, median of %d tries\n", kReactionTries);
    std::printf("%-26s %7.2f ms (goal: 30 ms)\n", "play to the first block:", Median(toSound));
    std::printf("%-26s %7.2f ms (goal: 50 ms)\n", "stop to silence, null:", Median(toSilenceNull));
    std::printf("%-26s %7.2f ms (goal: 50 ms)\n", "stop to silence, sdl:", Median(toSilenceSdl));
    std::filesystem::remove(path);
    return 0;
}
