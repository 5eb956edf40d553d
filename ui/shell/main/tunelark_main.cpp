// The tunelark program: one player per user in a real window.

#include <cstdio>
#include <string>

#include <SDL.h>

#include "platform/single_instance.h"
#include "platform/ui/ui_backend_sdl.h"
#include "ui/shell/application.h"

namespace {

constexpr int kDefaultZoom = 2;

}  // namespace

int main() {
    platform::SingleInstance instance("tunelark");
    // A player already runs: it has been asked to come forward.
    if (!instance.Acquire()) return 0;

    platform::ui::SdlBackend backend;
    std::string error;
    if (!backend.Open(kDefaultZoom, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    Application application;
    instance.ListenForRaise([&application] { application.Frame().PostMessage(WM_BRING_FORWARD, 0, 0); });
    return application.Run(backend);
}
