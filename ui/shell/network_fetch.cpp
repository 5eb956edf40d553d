#include "ui/shell/network_fetch.h"

#include <unistd.h>

#include <atomic>
#include <thread>

#include "engine/player.h"
#include "platform/path_text.h"
#include "platform/socket.h"
#include "platform/ui/dialog_host.h"
#include "resources/string_table.h"
#include "ui/shell/frame_window.h"

using namespace platform::ui;

namespace {

std::string WaitText(const std::vector<std::string>& addresses) {
    std::string text = "Connecting to";
    for (const std::string& address : addresses) text += "\n" + address;
    return text;
}

}  // namespace

std::optional<NetworkResolutions> FetchNetworkItems(WindowManager& windows, Window& wake,
                                                    const std::vector<std::string>& items,
                                                    const PlayerStreamOptions& options) {
    std::vector<std::string> addresses;
    for (const std::string& item : items) {
        if (platform::IsNetworkLocation(item)) addresses.push_back(item);
    }
    NetworkResolutions resolutions;
    if (addresses.empty()) return resolutions;
    const int cancel = platform::CreateWakeDescriptor();
    if (cancel < 0) return std::nullopt;
    std::atomic<bool> done{false};
    // Written by the fetching thread only, read here only after it is joined.
    std::thread fetching([&] {
        for (const std::string& address : addresses) {
            resolutions[address] = engine::ResolveStationUrl(address, options, cancel);
        }
        done = true;
        wake.PostMessage(WM_NETWORK_FETCHED, 0, 0);
    });
    const int answer = WaitBox(windows, WaitText(addresses), kProgramCaption, [&done] { return done.load(); });
    if (answer != IDOK) platform::SignalWakeDescriptor(cancel);
    fetching.join();
    close(cancel);
    if (answer != IDOK) return std::nullopt;
    return resolutions;
}
