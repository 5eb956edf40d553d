#include "tools/cli/bench_command.h"

#include <mad.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "engine/player.h"
#include "tools/cli/playback_watch.h"
#include "tools/reference/plain_libmad_decode.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFailureExitStatus = 1;
constexpr int kUsageExitStatus = 2;
constexpr size_t kPlainBlockSamples = 32 * 1024;

struct Throughput {
    double audioSeconds = 0;
    double wallSeconds = 0;
    double RealTimeMultiple() const { return wallSeconds > 0 ? audioSeconds / wallSeconds : 0; }
};

// Plays the file through a capture device that discards the PCM, as fast
// as the engine goes; the audio time comes from the bytes it played.
bool MeasureEngine(const std::string& path, Throughput& throughput) {
    PlaybackWatch watch;
    std::atomic<uint64_t> frames{0};
    std::atomic<uint32_t> rate{0};
    platform::CaptureSink sink;
    sink.onPcm = [&](const platform::WaveFormat& format, const uint8_t*, size_t bytes) {
        frames += bytes / format.BlockAlign();
        rate = format.sampleRate;
    };
    PlayerEngine* engine = PlayerCreate();
    PlayerSetNotifyWindow(engine, &watch);
    PlayerSetOutputDevice(engine, platform::WaveBackend::Capture, sink);
    bool played = PlayerOpen(engine, path) != 0;
    const auto start = Clock::now();
    played = played && PlayerPlay(engine) != 0;
    while (played && !watch.Stopped()) watch.Wait(std::chrono::milliseconds(100));
    throughput.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    PlayerDestroy(engine);
    if (!played || rate == 0) return false;
    throughput.audioSeconds = double(frames) / rate;
    return true;
}

bool MeasurePlainLoop(const std::string& path, Throughput& throughput) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::vector<uint8_t> input{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    input.insert(input.end(), MAD_BUFFER_GUARD, 0);
    std::vector<int16_t> block(kPlainBlockSamples);
    const auto start = Clock::now();
    const PlainDecodeResult result = DecodeWithPlainLibmadLoop(input, block);
    throughput.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (result.sampleRate == 0) return false;
    throughput.audioSeconds = double(result.frames) / result.sampleRate;
    return true;
}

}  // namespace

int RunBenchCommand(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: tunelark-cli bench FILE\n");
        return kUsageExitStatus;
    }
    const std::string& path = arguments[0];
    Throughput engine;
    Throughput plain;
    if (!MeasureEngine(path, engine)) {
        std::fprintf(stderr, "tunelark-cli bench: the engine cannot play '%s'\n", path.c_str());
        return kFailureExitStatus;
    }
    if (!MeasurePlainLoop(path, plain)) {
        std::fprintf(stderr, "tunelark-cli bench: libmad cannot decode '%s'\n", path.c_str());
        return kFailureExitStatus;
    }
    std::printf("engine:      %8.1f x real time (%.2f s of audio in %.3f s)\n", engine.RealTimeMultiple(),
                engine.audioSeconds, engine.wallSeconds);
    std::printf("plain libmad: %7.1f x real time (%.2f s of audio in %.3f s)\n", plain.RealTimeMultiple(),
                plain.audioSeconds, plain.wallSeconds);
    std::printf("ratio:       %8.1f %%\n", 100.0 * engine.RealTimeMultiple() / plain.RealTimeMultiple());
    return 0;
}
