// DecodeFrame against the plain libmad loop that any player would write, on
// the same MP3 file. DecodeFrame adds a fresh input window per frame, the
// room check, the equalizer test and error-feedback rounding; the goal is
// that it keeps at least 95 % of the plain loop's speed ("ratio").
//
// Input: 30 s of tones and noise encoded at 192 kbit/s, made once with sox and
// lame in a temporary directory; without those tools, the cbr128.mp3 fixture
// from TUNELARK_FIXTURES.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <time.h>
#include <vector>

#include "engine/equalizer.h"
#include "engine/mpeg_decoder.h"
#include "tools/reference/plain_libmad_decode.h"
#include "tools/bench/fixtures_directory.h"

namespace {

using namespace engine;

constexpr size_t kBlockBytes = 64 * 1024;  // an output block of the engine's size class
constexpr int kOutputBits = 16;

std::vector<uint8_t> MakeInput() {
    const std::filesystem::path directory = std::filesystem::temp_directory_path() / "tunelark-decode-benchmark";
    const std::filesystem::path mp3 = directory / "music.mp3";
    if (!std::filesystem::exists(mp3)) {
        std::filesystem::create_directories(directory);
        const std::string wav = (directory / "music.wav").string();
        const std::string command =
            "sox -R -n -r 44100 -c 2 -b 16 '" + wav +
            "' synth 30 sine 220 sine 1330 pinknoise gain -8 2>/dev/null && "
            "lame --quiet --noreplaygain -b 192 '" + wav + "' '" + mp3.string() + ".partial' && mv '" +
            mp3.string() + ".partial' '" + mp3.string() + "'";
        if (std::system(command.c_str()) != 0) std::filesystem::remove(mp3);
    }
    std::vector<uint8_t> bytes;
    if (std::filesystem::exists(mp3)) {
        bytes = ReadFileBytes(mp3.string());
    } else if (const char* fixtures = FixturesDirectory()) {
        bytes = ReadFileBytes(std::string(fixtures) + "/cbr128.mp3");
    }
    return WithMadGuard(std::move(bytes));
}

const std::vector<uint8_t>& Input() {
    static const std::vector<uint8_t> input = MakeInput();
    return input;
}

// The engine's way: a fresh window per frame, PCM straight into the block.
// Returns the PCM bytes produced.
size_t DecodeWithDecodeFrame(EqualizerBlock& equalizer, const std::vector<uint8_t>& input,
                             std::vector<uint8_t>& block) {
    size_t offset = 0;
    size_t filled = 0;
    size_t total = 0;
    while (offset < input.size()) {
        size_t consumed = 0;
        size_t produced = 0;
        const int result = DecodeFrame(*equalizer.decoder, input.data() + offset, input.size() - offset,
                                       block.data() + filled, block.size() - filled, kOutputBits, false,
                                       &consumed, &produced);
        if (result == DECODE_FRAME_DONE) {
            offset += consumed;
            filled += produced;
            total += produced;
        } else if (result == DECODE_OUTPUT_FULL) {
            filled = 0;  // the block is handed on; start a new one
        } else if (result == DECODE_NEED_MORE_INPUT) {
            break;
        } else {
            if (result == DECODE_UNRECOVERABLE_ERROR) ResetMpegDecoder(equalizer);
            ++offset;
        }
    }
    return total;
}

size_t DecodeWithPlainLoop(const std::vector<uint8_t>& input, std::vector<int16_t>& block) {
    return DecodeWithPlainLibmadLoop(input, block).pcmBytes;
}

// A clock over the calling thread's CPU time, for the ratio benchmark.
struct ThreadCpuClock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<ThreadCpuClock>;
    static time_point now() {
        timespec time{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
        return time_point(duration(int64_t{time.tv_sec} * 1000000000 + time.tv_nsec));
    }
};

void ReportThroughput(benchmark::State& state, size_t pcmBytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Input().size()));
    state.counters["pcm_bytes"] = static_cast<double>(pcmBytes);
}

void BM_DecodeFrame(benchmark::State& state) {
    EqualizerBlock equalizer;
    equalizer.settings.enabled = static_cast<int32_t>(state.range(0));
    std::vector<uint8_t> block(kBlockBytes);
    size_t pcmBytes = 0;
    for (auto _ : state) {
        CreateMpegDecoder(equalizer);
        pcmBytes = DecodeWithDecodeFrame(equalizer, Input(), block);
        benchmark::DoNotOptimize(block.data());
    }
    DestroyMpegDecoder(equalizer);
    ReportThroughput(state, pcmBytes);
}
BENCHMARK(BM_DecodeFrame)->ArgName("equalizer")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PlainLibmadLoop(benchmark::State& state) {
    std::vector<int16_t> block(kBlockBytes / sizeof(int16_t));
    size_t pcmBytes = 0;
    for (auto _ : state) {
        pcmBytes = DecodeWithPlainLoop(Input(), block);
        benchmark::DoNotOptimize(block.data());
    }
    ReportThroughput(state, pcmBytes);
}
BENCHMARK(BM_PlainLibmadLoop)->Unit(benchmark::kMillisecond);

// Both decodes in each iteration, alternating, so the ratio is not skewed by
// the machine's state drifting between two separate benchmarks; the ratio
// printed is the median of the iterations' ratios, with their spread.
void BM_DecodeFrameAgainstPlainLoop(benchmark::State& state) {
    // Thread CPU time: the machine may be busy with other work.
    using Clock = ThreadCpuClock;
    EqualizerBlock equalizer;
    std::vector<uint8_t> block(kBlockBytes);
    std::vector<int16_t> plainBlock(kBlockBytes / sizeof(int16_t));
    Clock::duration decodeFrameTime{};
    Clock::duration plainTime{};
    std::vector<double> ratios;
    for (auto _ : state) {
        CreateMpegDecoder(equalizer);
        const auto start = Clock::now();
        benchmark::DoNotOptimize(DecodeWithDecodeFrame(equalizer, Input(), block));
        const auto middle = Clock::now();
        benchmark::DoNotOptimize(DecodeWithPlainLoop(Input(), plainBlock));
        const auto end = Clock::now();
        decodeFrameTime += middle - start;
        plainTime += end - middle;
        ratios.push_back(std::chrono::duration<double>(end - middle) / std::chrono::duration<double>(middle - start));
    }
    DestroyMpegDecoder(equalizer);
    const double megabytes = static_cast<double>(Input().size()) * static_cast<double>(state.iterations()) / 1e6;
    const double decodeFrameSeconds = std::chrono::duration<double>(decodeFrameTime).count();
    const double plainSeconds = std::chrono::duration<double>(plainTime).count();
    state.counters["decode_frame_MBps"] = megabytes / decodeFrameSeconds;
    state.counters["plain_loop_MBps"] = megabytes / plainSeconds;
    std::sort(ratios.begin(), ratios.end());
    state.counters["ratio"] = ratios[ratios.size() / 2];
    state.counters["ratio_lowest"] = ratios.front();
    state.counters["ratio_highest"] = ratios.back();
}
BENCHMARK(BM_DecodeFrameAgainstPlainLoop)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
