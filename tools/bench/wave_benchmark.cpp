// WAVE playback costs. PCM playback through the engine should cost one read
// per output block and nothing else: the counters show the read calls per
// block and the bytes read per block (from /proc/self/io) next to the time.
// ADPCM and GSM conversion throughput through the compression manager is
// reported as source bytes and PCM samples per second.
//
// Input: 60 s of 44100 Hz stereo 16-bit PCM made here in a temporary
// directory; blocks of noise for the codecs (their cost does not depend on
// the content).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/player.h"
#include "platform/acm.h"
#include "platform/byte_order.h"
#include "platform/recording_window.h"

namespace {

using namespace platform::acm;

constexpr uint32_t kRate = 44100;
constexpr uint32_t kSeconds = 60;
constexpr uint32_t kFrameBytes = 4;
// The engine's block for 44100 Hz stereo 16-bit WAVE.
constexpr uint32_t kBlockBytes = 16384;

void PutLittle(std::ofstream& file, uint32_t value, int bytes) {
    for (int index = 0; index < bytes; ++index) file.put(static_cast<char>((value >> (8 * index)) & 0xFF));
}

// A minute of two tones, written once and removed at exit.
class PcmFile {
public:
    PcmFile() {
        directory_ = std::filesystem::temp_directory_path() / "tunelark-wave-benchmark";
        std::filesystem::create_directories(directory_);
        path_ = (directory_ / "minute.wav").string();
        std::ofstream file(path_, std::ios::binary);
        const uint32_t dataBytes = kRate * kSeconds * kFrameBytes;
        file.write("RIFF", 4);
        PutLittle(file, 36 + dataBytes, 4);
        file.write("WAVEfmt ", 8);
        PutLittle(file, 16, 4);
        PutLittle(file, WAVE_FORMAT_PCM, 2);
        PutLittle(file, 2, 2);
        PutLittle(file, kRate, 4);
        PutLittle(file, kRate * kFrameBytes, 4);
        PutLittle(file, kFrameBytes, 2);
        PutLittle(file, 16, 2);
        file.write("data", 4);
        PutLittle(file, dataBytes, 4);
        for (uint32_t frame = 0; frame < kRate * kSeconds; ++frame) {
            const double time = double(frame) / kRate;
            const auto left = static_cast<int16_t>(12000 * std::sin(2 * M_PI * 440 * time));
            const auto right = static_cast<int16_t>(12000 * std::sin(2 * M_PI * 660 * time));
            PutLittle(file, static_cast<uint16_t>(left), 2);
            PutLittle(file, static_cast<uint16_t>(right), 2);
        }
    }
    ~PcmFile() {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
    const std::string& Path() const { return path_; }

private:
    std::filesystem::path directory_;
    std::string path_;
};

const std::string& PcmPath() {
    static PcmFile file;
    return file.Path();
}

// The process's read calls and bytes read so far.
struct ReadCounters {
    double calls = 0;
    double bytes = 0;
};

ReadCounters ReadProcessCounters() {
    ReadCounters counters;
    std::FILE* file = std::fopen("/proc/self/io", "r");
    if (file == nullptr) return counters;
    char name[32];
    unsigned long long value = 0;
    while (std::fscanf(file, "%31s %llu", name, &value) == 2) {
        if (std::string(name) == "rchar:") counters.bytes = double(value);
        if (std::string(name) == "syscr:") counters.calls = double(value);
    }
    std::fclose(file);
    return counters;
}

void BM_PcmWavePlayback(benchmark::State& state) {
    PlayerEngine* engine = PlayerCreate();
    platform::RecordingWindow window;
    PlayerSetNotifyWindow(engine, &window);
    PlayerSetOutputDevice(engine, platform::WaveBackend::Capture, {});
    if (PlayerOpen(engine, PcmPath()) != 1) {
        state.SkipWithError("cannot open the PCM file");
        PlayerDestroy(engine);
        return;
    }
    ReadCounters total;
    for (auto _ : state) {
        window.Clear();
        const ReadCounters before = ReadProcessCounters();
        PlayerPlay(engine);
        window.WaitFor([](const platform::PostedMessage& message) {
            return message.message == WM_PLAYER_STATUS && message.wParam == PLAYER_STOPPED;
        }, std::chrono::minutes(1));
        const ReadCounters after = ReadProcessCounters();
        total.calls += after.calls - before.calls;
        total.bytes += after.bytes - before.bytes;
    }
    const double blocks = double(kRate) * kSeconds * kFrameBytes / kBlockBytes * double(state.iterations());
    state.counters["reads_per_block"] = total.calls / blocks;
    state.counters["bytes_read_per_block"] = total.bytes / blocks;
    state.counters["realtime_factor"] = benchmark::Counter(kSeconds * double(state.iterations()),
                                                           benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<int64_t>(double(kRate) * kSeconds * kFrameBytes * state.iterations()));
    PlayerClose(engine);
    PlayerDestroy(engine);
}
BENCHMARK(BM_PcmWavePlayback)->Unit(benchmark::kMillisecond)->UseRealTime();

std::vector<uint8_t> Le16(std::initializer_list<int> values) {
    std::vector<uint8_t> bytes;
    for (int value : values) platform::AppendLittle16(bytes, static_cast<uint32_t>(value));
    return bytes;
}

std::vector<uint8_t> CodecFormat(int which) {
    std::vector<uint8_t> format = which == 0   ? Le16({0x11, 2, 44100, 0, 44359, 0, 2048, 4, 2, 2041})
                                  : which == 1 ? Le16({2, 2, 44100, 0, 44359, 0, 2048, 4, 32, 2036, 7})
                                               : Le16({0x31, 1, 8000, 0, 1625, 0, 65, 0, 2, 320});
    if (which == 1) {
        const std::vector<uint8_t> table = Le16({256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232});
        format.insert(format.end(), table.begin(), table.end());
    }
    return format;
}

// Converts a megabyte of noise blocks into PCM, 4096 source bytes at a time
// as the engine's converting loop does.
void BM_Conversion(benchmark::State& state) {
    const std::vector<uint8_t> format = CodecFormat(static_cast<int>(state.range(0)));
    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    HACMSTREAM stream = nullptr;
    if (acmFormatSuggest(nullptr, format.data(), DWORD(format.size()), &pcm, sizeof pcm,
                         ACM_FORMATSUGGESTF_WFORMATTAG) != MMSYSERR_NOERROR ||
        acmStreamOpen(&stream, nullptr, format.data(), DWORD(format.size()), &pcm, nullptr, 0, 0,
                      ACM_STREAMOPENF_NONREALTIME) != MMSYSERR_NOERROR) {
        state.SkipWithError("no stream");
        return;
    }
    constexpr size_t kSourceBytes = 1 << 20;
    constexpr DWORD kPiece = 4096;
    std::vector<uint8_t> source(kSourceBytes);
    std::mt19937 random(1);
    for (uint8_t& byte : source) byte = uint8_t(random());
    DWORD outputRoom = 0;
    acmStreamSize(stream, kPiece * 2, &outputRoom, ACM_STREAMSIZEF_SOURCE);
    std::vector<uint8_t> output(outputRoom);
    double samples = 0;
    for (auto _ : state) {
        acmStreamReset(stream, 0);
        for (size_t offset = 0; offset + kPiece <= source.size(); offset += kPiece) {
            ACMSTREAMHEADER header{};
            header.cbStruct = sizeof header;
            header.pbSrc = source.data() + offset;
            header.cbSrcLength = kPiece;
            header.pbDst = output.data();
            header.cbDstLength = outputRoom;
            acmStreamPrepareHeader(stream, &header, 0);
            acmStreamConvert(stream, &header, 0);
            acmStreamUnprepareHeader(stream, &header, 0);
            samples += header.cbDstLengthUsed / 2.0;
        }
        benchmark::DoNotOptimize(output.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(kSourceBytes * state.iterations()));
    state.counters["samples_per_second"] = benchmark::Counter(samples, benchmark::Counter::kIsRate);
    acmStreamClose(stream, 0);
}
BENCHMARK(BM_Conversion)->Arg(0)->ArgName("ima")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Conversion)->Arg(1)->ArgName("msadpcm")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Conversion)->Arg(2)->ArgName("gsm")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
