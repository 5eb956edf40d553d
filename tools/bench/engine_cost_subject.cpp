// One decode of a file, for an instruction counter to measure: through the
// whole engine (open, decoding thread, effects, blocks, capture device), or
// through the plain loop of the library that decodes the format.
//
//   engine_cost_subject engine|engine-eq|plain FILE
//
// tools/bench/callgrind_engine_cost.sh runs it under callgrind and compares.

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "engine/player.h"
#include "tools/cli/playback_watch.h"
#include "tools/reference/plain_libmad_decode.h"
#include "tools/reference/plain_tremor_decode.h"

namespace {

constexpr size_t kPlainBlockSamples = 32 * 1024;

// Plays the file once, as fast as the engine goes; the PCM is discarded.
bool PlayThroughEngine(const std::string& path, bool equalized) {
    // A curve that boosts the bass and cuts the treble, so every gain differs from 1.
    const PlayerEqSettings curve{1, 31, {10, 15, 20, 25, 31, 36, 40, 45, 50, 55}};
    PlaybackWatch watch;
    platform::CaptureSink sink;
    sink.onPcm = [](const platform::WaveFormat&, const uint8_t*, size_t) {};
    PlayerEngine* engine = PlayerCreate();
    PlayerSetNotifyWindow(engine, &watch);
    PlayerSetOutputDevice(engine, platform::WaveBackend::Capture, sink);
    if (equalized) PlayerSetEqualizer(engine, &curve);
    const bool played = PlayerOpen(engine, path) && PlayerPlay(engine);
    while (played && !watch.Stopped()) watch.Wait(std::chrono::milliseconds(100));
    PlayerDestroy(engine);
    return played;
}

bool DecodeWithPlainLoop(const std::string& path) {
    const bool ogg = path.size() > 4 && path.compare(path.size() - 4, 4, ".ogg") == 0;
    if (ogg) return DecodeWithPlainTremorLoop(path).frames > 0;
    std::vector<int16_t> block(kPlainBlockSamples);
    return DecodeWithPlainLibmadLoop(WithMadGuard(ReadFileBytes(path)), block).frames > 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: engine_cost_subject engine|engine-eq|plain FILE\n");
        return 2;
    }
    const std::string_view mode = argv[1];
    const std::string path = argv[2];
    const bool done = mode == "plain" ? DecodeWithPlainLoop(path) : PlayThroughEngine(path, mode == "engine-eq");
    if (!done) std::fprintf(stderr, "engine_cost_subject: cannot decode '%s'\n", path.c_str());
    return done ? 0 : 1;
}
