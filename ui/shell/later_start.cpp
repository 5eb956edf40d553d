#include "ui/shell/later_start.h"

#include <cstdio>
#include <optional>
#include <string>

#include "platform/single_instance.h"
#include "ui/shell/application.h"

void ListenForLaterStarts(platform::SingleInstance& instance, Application& application) {
    instance.Listen(kMaximumOpenMessageBytes, [&application](std::string message) {
        std::optional<OpenRequest> request = DecodeOpenRequest(message);
        if (!request.has_value()) return;
        application.Frame().PostMessage(WM_BRING_FORWARD, 0, 0);
        if (!request->items.empty()) application.RequestOpen(std::move(*request));
    });
}

bool HandOverToRunningPlayer(platform::SingleInstance& instance, const OpenRequest& request) {
    size_t leftOut = 0;
    const std::string message = EncodeOpenRequest(request, &leftOut);
    if (leftOut > 0) std::fprintf(stderr, "tunelark: %zu items did not fit into one request and were left out\n", leftOut);
    if (!instance.SendToRunningInstance(message)) {
        std::fprintf(stderr, "tunelark: a player is already running but does not answer\n");
        return false;
    }
    return true;
}
