// tunelark-cli: the headless player. It drives the engine through the same
// Player operations as the windows do.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/cli/bench_command.h"
#include "tools/cli/info_command.h"
#include "tools/cli/play_command.h"
#include "tools/cli/render_command.h"

namespace {

constexpr int kUsageExitStatus = 2;

int Usage() {
    std::fprintf(stderr,
                 "usage: tunelark-cli COMMAND ...\n"
                 "  info FILE|URL...          one JSON line each: format, duration and tag; for an\n"
                 "                            http(s):// stream its format, station, genre and URL;\n"
                 "                            a station list (.pls, .m3u, .m3u8) one line per entry\n"
                 "  play FILE|URL...          play with sound; space pauses, arrows seek, n skips, q quits\n"
                 "  render FILE -o OUT.wav    play through the capture device into a WAV file\n"
                 "  render URL -o OUT.wav --length MS   record MS milliseconds of a stream\n"
                 "  bench FILE                the engine's speed against a plain libmad loop\n");
    return kUsageExitStatus;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    if (command == "info") {
        if (arguments.empty()) return Usage();
        return RunInfoCommand(arguments);
    }
    if (command == "play") {
        if (arguments.empty()) return Usage();
        return RunPlayCommand(arguments);
    }
    if (command == "render") return RunRenderCommand(arguments);
    if (command == "bench") return RunBenchCommand(arguments);
    if (command == "--help" || command == "-h" || command == "help") {
        Usage();
        return 0;
    }
    std::fprintf(stderr, "tunelark-cli: unknown command '%s'\n", command.c_str());
    return Usage();
}
