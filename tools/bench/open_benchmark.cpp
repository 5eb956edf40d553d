// Opening a one-hour MP3: the probe reads 4096 bytes from the start and the
// scan about 129 frames from the middle, so the time and the bytes read per
// open must not grow with the file. Prints the time per open and, as
// counters, the bytes read per open and the duration that was estimated.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "engine/mpeg_file.h"
#include "engine/player.h"
#include "engine/player_engine.h"
#include "tools/bench/fixtures_directory.h"

namespace {

// cbr128_noinfo.mp3 lasts 5.04 s: 720 copies make a little over an hour.
constexpr int kCopiesForOneHour = 720;

// A one-hour MP3 in a temporary directory, made on first use and removed at exit.
class OneHourFile {
public:
    OneHourFile() {
        const char* fixtures = FixturesDirectory();
        if (fixtures == nullptr) return;
        std::ifstream source(std::string(fixtures) + "/cbr128_noinfo.mp3", std::ios::binary);
        const std::vector<char> clip{std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>()};
        if (clip.empty()) return;

        std::string pattern = (std::filesystem::temp_directory_path() / "tunelark-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return;
        directory_ = pattern;
        const std::string path = directory_ + "/one_hour.mp3";
        std::ofstream output(path, std::ios::binary);
        for (int copy = 0; copy < kCopiesForOneHour; ++copy) {
            output.write(clip.data(), static_cast<std::streamsize>(clip.size()));
        }
        if (output) path_ = path;
    }
    ~OneHourFile() {
        std::error_code ignored;
        if (!directory_.empty()) std::filesystem::remove_all(directory_, ignored);
    }

    // Empty when the file could not be made.
    const std::string& Path() const { return path_; }

private:
    std::string directory_;
    std::string path_;
};

const std::string& OneHourPath() {
    static OneHourFile file;
    return file.Path();
}

// Bytes this process has read through read() and similar calls so far.
long long BytesReadByProcess() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") return value;
    }
    return -1;
}

bool SkipWithoutFile(benchmark::State& state) {
    if (!OneHourPath().empty()) return false;
    state.SkipWithError("no fixtures: run the tests first, or set TUNELARK_FIXTURES");
    return true;
}

void ReportBytesRead(benchmark::State& state, long long before) {
    const long long after = BytesReadByProcess();
    if (before < 0 || after < 0 || state.iterations() == 0) return;
    state.counters["bytes_read_per_open"] =
        static_cast<double>(after - before) / static_cast<double>(state.iterations());
}

void BM_PlayerOpenOneHour(benchmark::State& state) {
    if (SkipWithoutFile(state)) return;
    PlayerEngine* engine = PlayerCreate();
    const long long before = BytesReadByProcess();
    for (auto _ : state) {
        benchmark::DoNotOptimize(PlayerOpen(engine, OneHourPath()));
    }
    ReportBytesRead(state, before);
    state.counters["duration_s"] = PlayerGetDuration(engine) / 1000.0;
    PlayerDestroy(engine);
}
BENCHMARK(BM_PlayerOpenOneHour)->Unit(benchmark::kMicrosecond);

void BM_ProbeOneHour(benchmark::State& state) {
    if (SkipWithoutFile(state)) return;
    const long long before = BytesReadByProcess();
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine::ProbeMpegFile(OneHourPath()));
    }
    ReportBytesRead(state, before);
}
BENCHMARK(BM_ProbeOneHour)->Unit(benchmark::kMicrosecond);

void BM_OpenScanOneHour(benchmark::State& state) {
    if (SkipWithoutFile(state)) return;
    PlayerEngine engine;
    engine.fileReader.ReaderOpen(OneHourPath());
    const long long before = BytesReadByProcess();
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine::MpegOpenScan(engine));
    }
    ReportBytesRead(state, before);
    state.counters["length_samples"] = engine.length;
}
BENCHMARK(BM_OpenScanOneHour)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
