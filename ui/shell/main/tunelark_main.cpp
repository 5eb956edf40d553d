// The tunelark program: one player per user in a real window. A later start
// hands its command line to the running player and exits.

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <SDL.h>

#include "platform/single_instance.h"
#include "platform/ui/ui_backend_sdl.h"
#include "ui/shell/application.h"
#include "ui/shell/command_line.h"
#include "ui/shell/later_start.h"

namespace {

constexpr int kMisuseExitCode = 2;

std::string WorkingDirectory() {
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::current_path(error);
    return error ? std::string() : directory.string();
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), WorkingDirectory());
    switch (line.action) {
        case CommandLine::Action::Help:
            std::fputs(HelpText().c_str(), stdout);
            return 0;
        case CommandLine::Action::Version:
            std::printf("tunelark %s\n", TUNELARK_VERSION);
            return 0;
        case CommandLine::Action::Misuse:
            std::fprintf(stderr, "tunelark: %s\n%s\n", line.misuse.c_str(), UsageText().c_str());
            return kMisuseExitCode;
        case CommandLine::Action::Run:
            break;
    }
    for (const std::string& argument : line.unusable) std::fprintf(stderr, "tunelark: cannot open %s\n", argument.c_str());

    platform::SingleInstance instance("tunelark");
    if (!instance.Acquire()) return HandOverToRunningPlayer(instance, line.request) ? 0 : 1;

    platform::ui::SdlBackend backend;
    std::string error;
    if (!backend.Open(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    Application application;
    if (!line.request.items.empty()) application.RequestOpen(line.request);
    ListenForLaterStarts(instance, application);
    const int exitCode = application.Run(backend);
    // Nothing may reach the application once it is gone.
    instance.StopListening();
    return exitCode;
}
