#include "tools/cli/bench_command.h"

#include <mad.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "engine/player.h"
#include "tools/cli/playback_watch.h"
#include "tools/reference/plain_libmad_decode.h"
#include "tools/reference/plain_tremor_decode.h"

namespace {

// Processor time of the whole process: the engine's work is spread over the
// decoding thread and the device's threads, and its waits (the drain polls
// every 10 ms) cost no processor time, so this measures the work itself.
struct ProcessCpuClock {
    static double Seconds() {
        timespec time{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
        return double(time.tv_sec) + double(time.tv_nsec) * 1e-9;
    }
};

// Short files are decoded again and again until this much time was spent,
// so the figures are not lost in the noise.
constexpr double kMinimumMeasuredSeconds = 0.5;
constexpr int kMaximumRuns = 200;

constexpr int kFailureExitStatus = 1;
constexpr int kUsageExitStatus = 2;
constexpr size_t kPlainBlockSamples = 32 * 1024;

struct Throughput {
    double audioSeconds = 0;
    double cpuSeconds = 0;
    double RealTimeMultiple() const { return cpuSeconds > 0 ? audioSeconds / cpuSeconds : 0; }
};

// Repeats `run` (which adds one run's audio seconds, or fails) until enough
// time was measured.
template <typename Run>
bool Measure(Throughput& throughput, Run run) {
    for (int runs = 0; runs < kMaximumRuns && throughput.cpuSeconds < kMinimumMeasuredSeconds; ++runs) {
        const double start = ProcessCpuClock::Seconds();
        if (!run(throughput.audioSeconds)) return false;
        throughput.cpuSeconds += ProcessCpuClock::Seconds() - start;
    }
    return true;
}

// Plays the file through a capture device that discards the PCM, as fast
// as the engine goes; the audio time comes from the bytes it played.
bool PlayOnce(const std::string& path, const PlayerEqSettings& equalizer, double& audioSeconds) {
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
    PlayerSetEqualizer(engine, &equalizer);
    const bool played = PlayerOpen(engine, path) && PlayerPlay(engine);
    while (played && !watch.Stopped()) watch.Wait(std::chrono::milliseconds(100));
    PlayerDestroy(engine);
    if (!played || rate == 0) return false;
    audioSeconds += double(frames) / rate;
    return true;
}

bool AddAudio(const PlainDecodeResult& result, double& audioSeconds) {
    if (result.sampleRate == 0) return false;
    audioSeconds += double(result.frames) / result.sampleRate;
    return true;
}

// The source kind the engine finds in the file.
PlayerSource ProbeSource(const std::string& path) {
    PlayerEngine* engine = PlayerCreate();
    PlayerOpen(engine, path);
    const PlayerSource source = PlayerGetSourceKind(engine);
    PlayerDestroy(engine);
    return source;
}

std::vector<uint8_t> ReadWithGuard(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> input{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    input.insert(input.end(), MAD_BUFFER_GUARD, 0);  // lets libmad decode the last frame
    return input;
}

}  // namespace

int RunBenchCommand(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: tunelark-cli bench FILE\n");
        return kUsageExitStatus;
    }
    const std::string& path = arguments[0];
    Throughput engine;
    Throughput equalized;
    Throughput plain;
    // A curve that boosts the bass and cuts the treble, so every gain differs from 1.
    const PlayerEqSettings curve{1, 31, {10, 15, 20, 25, 31, 36, 40, 45, 50, 55}};
    auto playFlat = [&](double& audio) { return PlayOnce(path, PlayerEqSettings{}, audio); };
    auto playCurved = [&](double& audio) { return PlayOnce(path, curve, audio); };
    if (!Measure(engine, playFlat) || !Measure(equalized, playCurved)) {
        std::fprintf(stderr, "tunelark-cli bench: the engine cannot play '%s'\n", path.c_str());
        return kFailureExitStatus;
    }
    // The plain loop of the library that decodes this format; WAVE has none.
    const PlayerSource source = ProbeSource(path);
    const char* plainName = source == SOURCE_OGG_FILE ? "plain Tremor:" : "plain libmad:";
    const std::vector<uint8_t> input = source == SOURCE_MPEG_FILE ? ReadWithGuard(path) : std::vector<uint8_t>{};
    std::vector<int16_t> block(kPlainBlockSamples);
    const bool measured = source == SOURCE_OGG_FILE
        ? Measure(plain, [&](double& audio) { return AddAudio(DecodeWithPlainTremorLoop(path), audio); })
        : source == SOURCE_MPEG_FILE && Measure(plain, [&](double& audio) {
              return AddAudio(DecodeWithPlainLibmadLoop(input, block), audio);
          });
    auto report = [](const char* name, const Throughput& throughput) {
        std::printf("%-20s %8.1f x real time (%.1f s of audio in %.3f s of processor time)\n", name,
                    throughput.RealTimeMultiple(), throughput.audioSeconds, throughput.cpuSeconds);
    };
    report("engine:", engine);
    report("engine, equalizer:", equalized);
    if (!measured) {
        std::printf("%-20s none for this format\n", "plain loop:");
        return 0;
    }
    report(plainName, plain);
    std::printf("%-20s %8.1f %%\n", "ratio:", 100.0 * engine.RealTimeMultiple() / plain.RealTimeMultiple());
    std::printf("%-20s %8.1f %%\n", "ratio, equalizer:", 100.0 * equalized.RealTimeMultiple() / plain.RealTimeMultiple());
    return 0;
}
