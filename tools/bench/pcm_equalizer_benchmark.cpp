// What the PCM equalizer adds to playing an Ogg Vorbis file: the goal is at
// most 10 % of the decoding's processor time with every band moved.
//
// Plays 30 s of tones and noise encoded at quality 5 through the capture
// device as fast as the engine runs, with the equalizer off and with every
// slider moved, in alternating rounds, and prints the median processor time
// of the whole process for each and the equalizer's share. Where a few
// percent decide, count instructions instead:
//   valgrind --tool=callgrind pcm_equalizer_benchmark 1
//
//   pcm_equalizer_benchmark [ROUNDS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/player.h"
#include "tools/cli/playback_watch.h"
#include "tools/reference/median.h"
#include "tools/reference/process_cpu_time.h"

namespace {

constexpr int kDefaultRounds = 9;

// Made once with sox and oggenc in a temporary directory; empty without them.
std::string MakeOgg() {
    const std::filesystem::path directory = std::filesystem::temp_directory_path() / "tunelark-equalizer-benchmark";
    const std::filesystem::path ogg = directory / "music.ogg";
    if (!std::filesystem::exists(ogg)) {
        std::filesystem::create_directories(directory);
        const std::string wav = (directory / "music.wav").string();
        const std::string command = "sox -R -n -r 44100 -c 2 -b 16 '" + wav +
                                    "' synth 30 sine 220 sine 1330 pinknoise gain -8 2>/dev/null && "
                                    "oggenc --quiet -q 5 -o '" + ogg.string() + ".partial' '" + wav + "' && mv '" +
                                    ogg.string() + ".partial' '" + ogg.string() + "'";
        if (std::system(command.c_str()) != 0) std::filesystem::remove(ogg);
    }
    return std::filesystem::exists(ogg) ? ogg.string() : std::string();
}

PlayerEqSettings Off() {
    PlayerEqSettings settings;
    settings.enabled = 0;
    settings.preamp = 31;
    for (int32_t& band : settings.bands) band = 31;
    return settings;
}

// The "Rock" preset's curve: every band away from the middle.
PlayerEqSettings EveryBandMoved() {
    PlayerEqSettings settings;
    settings.enabled = 1;
    settings.preamp = 36;
    const int32_t bands[] = {19, 23, 40, 45, 38, 25, 17, 14, 14, 14};
    std::copy(std::begin(bands), std::end(bands), settings.bands);
    return settings;
}

// Processor seconds of one whole playback of the file.
double PlaybackCost(const std::string& path, const PlayerEqSettings& settings) {
    PlayerEngine* engine = PlayerCreate();
    PlaybackWatch watch;
    platform::CaptureSink sink;
    sink.onPcm = [](const platform::WaveFormat&, const uint8_t*, size_t) {};
    PlayerSetNotifyWindow(engine, &watch);
    PlayerSetOutputDevice(engine, platform::WaveBackend::Capture, sink);
    PlayerSetEqualizer(engine, &settings);
    double cost = 0;
    if (PlayerOpen(engine, path)) {
        const double start = ProcessCpuSeconds();
        if (PlayerPlay(engine)) {
            while (!watch.Stopped()) watch.Wait(std::chrono::milliseconds(100));
        }
        cost = ProcessCpuSeconds() - start;
    }
    PlayerDestroy(engine);
    return cost;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRounds;
    const std::string path = MakeOgg();
    if (path.empty()) {
        std::printf("needs sox and oggenc to make its input\n");
        return 1;
    }
    std::vector<double> off;
    std::vector<double> on;
    for (int round = 0; round < rounds; ++round) {
        off.push_back(PlaybackCost(path, Off()));
        on.push_back(PlaybackCost(path, EveryBandMoved()));
    }
    const double offMedian = Median(off);
    const double onMedian = Median(on);
    std::printf("30 s of Ogg Vorbis played, median of %d alternated rounds (processor time of the process)\n", rounds);
    std::printf("  equalizer off         %7.1f ms\n", offMedian * 1000);
    std::printf("  every band moved      %7.1f ms\n", onMedian * 1000);
    std::printf("  equalizer's share     %+6.1f %% of the decoding (goal: at most 10 %%)\n",
                (onMedian / offMedian - 1) * 100);
    return 0;
}
