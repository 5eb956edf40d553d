#include "tools/cli/bench_command.h"

#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

#include "engine/player.h"
#include "tools/cli/playback_watch.h"
#include "tools/reference/median.h"
#include "tools/reference/plain_libmad_decode.h"
#include "tools/reference/plain_tremor_decode.h"
#include "tools/reference/process_cpu_time.h"

namespace {

// Each measurement repeats its run until this much processor time was
// spent, so short files are not lost in the noise.
constexpr double kMinimumMeasuredSeconds = 0.2;
constexpr int kMaximumRuns = 200;
// The engine and the plain loop take turns, round after round, so a machine
// that gets busier or quieter meanwhile shifts both alike; the ratio is the
// median of the rounds' ratios, printed with their spread.
constexpr int kMinimumRounds = 5;
constexpr int kMaximumRounds = 25;
constexpr double kMinimumTotalSeconds = 4.0;

constexpr int kFailureExitStatus = 1;
constexpr size_t kPlainBlockSamples = 32 * 1024;

struct Throughput {
    double audioSeconds = 0;
    double cpuSeconds = 0;
    double RealTimeMultiple() const { return cpuSeconds > 0 ? audioSeconds / cpuSeconds : 0; }
    void Add(const Throughput& other) {
        audioSeconds += other.audioSeconds;
        cpuSeconds += other.cpuSeconds;
    }
};

// Repeats `run` (which adds one run's audio seconds, or fails) until enough
// time was measured.
template <typename Run>
std::optional<Throughput> Measure(Run run) {
    Throughput throughput;
    for (int runs = 0; runs < kMaximumRuns && throughput.cpuSeconds < kMinimumMeasuredSeconds; ++runs) {
        const double start = ProcessCpuSeconds();
        if (!run(throughput.audioSeconds)) return std::nullopt;
        throughput.cpuSeconds += ProcessCpuSeconds() - start;
    }
    return throughput;
}

// The rounds' ratios of one measurement to another, in percent.
class RatioRounds {
public:
    void Add(const Throughput& measured, const Throughput& reference) {
        ratios_.push_back(100.0 * measured.RealTimeMultiple() / reference.RealTimeMultiple());
    }
    void Print(const char* name) {
        const double median = SortedMedian(ratios_);
        std::printf("%-20s %8.1f %% (median of %zu rounds, %.1f to %.1f %%)\n", name, median, ratios_.size(),
                    ratios_.front(), ratios_.back());
    }

private:
    std::vector<double> ratios_;
};

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

// The source kind the engine finds in the file, and its length.
struct Probe {
    PlayerSource source = SOURCE_NONE;
    double seconds = 0;
};

Probe ProbeSource(const std::string& path) {
    PlayerEngine* engine = PlayerCreate();
    PlayerOpen(engine, path);
    const Probe probe{PlayerGetSourceKind(engine), PlayerGetDuration(engine) / 1000.0};
    PlayerDestroy(engine);
    return probe;
}

// The yardstick of PCM in a file: reading it, block after block, as the
// engine's reader does.
bool ReadInBlocks(const std::string& path, double seconds, std::vector<uint8_t>& block, double& audioSeconds) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    while (std::fread(block.data(), 1, block.size(), file) == block.size()) {
    }
    std::fclose(file);
    audioSeconds += seconds;
    return true;
}

// The plain loop of the library that decodes the file's format, the engine's
// yardstick; for WAVE, reading the file.
class PlainLoop {
public:
    explicit PlainLoop(const std::string& path) : path_(path), probe_(ProbeSource(path)) {
        if (probe_.source == SOURCE_MPEG_FILE) input_ = WithMadGuard(ReadFileBytes(path));
    }

    bool Exists() const {
        return probe_.source == SOURCE_OGG_FILE || probe_.source == SOURCE_MPEG_FILE ||
               probe_.source == SOURCE_WAVE_FILE;
    }

    const char* Name() const {
        return probe_.source == SOURCE_OGG_FILE    ? "plain Tremor:"
               : probe_.source == SOURCE_WAVE_FILE ? "plain read:"
                                                   : "plain libmad:";
    }

    // Adds one run's audio seconds; false when the loop failed.
    bool Run(double& audioSeconds) {
        if (probe_.source == SOURCE_WAVE_FILE) return ReadInBlocks(path_, probe_.seconds, readBlock_, audioSeconds);
        return probe_.source == SOURCE_OGG_FILE ? AddAudio(DecodeWithPlainTremorLoop(path_), audioSeconds)
                                                : AddAudio(DecodeWithPlainLibmadLoop(input_, block_), audioSeconds);
    }

private:
    const std::string& path_;
    const Probe probe_;
    std::vector<uint8_t> input_;
    std::vector<int16_t> block_ = std::vector<int16_t>(kPlainBlockSamples);
    std::vector<uint8_t> readBlock_ = std::vector<uint8_t>(kPlainBlockSamples * sizeof(int16_t));
};

// What the rounds measured: the engine flat and with the equalizer, the
// plain loop, and the rounds' ratios to it.
struct BenchResults {
    Throughput engine, equalized, plain;
    RatioRounds ratios, equalizedRatios;
};

void PrintThroughput(const char* name, const Throughput& throughput) {
    std::printf("%-20s %8.1f x real time (%.1f s of audio in %.3f s of processor time)\n", name,
                throughput.RealTimeMultiple(), throughput.audioSeconds, throughput.cpuSeconds);
}

void PrintResults(BenchResults& results, const char* plainName) {
    PrintThroughput("engine:", results.engine);
    PrintThroughput("engine, equalizer:", results.equalized);
    if (results.plain.cpuSeconds <= 0) {
        std::printf("%-20s none for this format\n", "plain loop:");
        return;
    }
    PrintThroughput(plainName, results.plain);
    results.ratios.Print("ratio:");
    results.equalizedRatios.Print("ratio, equalizer:");
}

}  // namespace

int RunBenchCommand(const std::vector<std::string>& arguments) {
    // Measured as fast as the engine goes, whatever device the environment
    // chooses for playing.
    unsetenv("TUNELARK_AUDIO");
    const std::string& path = arguments[0];
    // A curve that boosts the bass and cuts the treble, so every gain differs from 1.
    const PlayerEqSettings curve{1, 31, {10, 15, 20, 25, 31, 36, 40, 45, 50, 55}};
    const auto playFlat = [&](double& audio) { return PlayOnce(path, PlayerEqSettings{}, audio); };
    const auto playCurved = [&](double& audio) { return PlayOnce(path, curve, audio); };
    PlainLoop plainLoop(path);
    const auto playPlain = [&](double& audio) { return plainLoop.Run(audio); };

    BenchResults results;
    double spent = 0;
    for (int round = 0; round < kMaximumRounds && (round < kMinimumRounds || spent < kMinimumTotalSeconds); ++round) {
        const std::optional<Throughput> flat = Measure(playFlat);
        const std::optional<Throughput> curved = flat ? Measure(playCurved) : std::nullopt;
        if (!flat || !curved) {
            std::fprintf(stderr, "tunelark-cli bench: the engine cannot play '%s'\n", path.c_str());
            return kFailureExitStatus;
        }
        results.engine.Add(*flat);
        results.equalized.Add(*curved);
        spent += flat->cpuSeconds + curved->cpuSeconds;
        if (!plainLoop.Exists()) continue;
        const std::optional<Throughput> reference = Measure(playPlain);
        if (!reference) continue;
        results.plain.Add(*reference);
        spent += reference->cpuSeconds;
        results.ratios.Add(*flat, *reference);
        results.equalizedRatios.Add(*curved, *reference);
    }
    PrintResults(results, plainLoop.Name());
    return 0;
}
