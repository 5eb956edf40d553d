// Opening from outside the player: the command line, a later start handing
// its arguments over, and drops on the window. Every item goes through
// AddLocation (through AddItems), whatever brought it.

#include <algorithm>
#include <optional>
#include <filesystem>
#include <system_error>

#include "engine/player.h"
#include "platform/path_text.h"
#include "platform/ui/dialog_host.h"
#include "playlist/add_location.h"
#include "resources/string_table.h"
#include "prefs/settings.h"
#include "ui/shell/application.h"
#include "ui/shell/network_fetch.h"
#include "ui/shell/uri_list.h"

using namespace platform::ui;

namespace {

// An address, or something that is there to read.
bool NamesSomething(const std::string& item) {
    std::error_code error;
    return platform::IsNetworkLocation(item) || std::filesystem::exists(item, error);
}

}  // namespace

bool Application::AddItems(Playlist& target, const std::vector<std::string>& items, std::string& errors) {
    PlayerStreamOptions options;
    PlayerGetStreamOptions(engine_, &options);
    const std::optional<NetworkResolutions> resolved = FetchNetworkItems(*windows_, frame_, items, options);
    if (!resolved) return false;
    // A directory's files are listed while the wait cursor shows.
    windows_->BeginWaitCursor();
    for (const std::string& item : items) {
        const AddLocationResult added = AddLocation(target, item, *resolved, g_settings.LastDir);
        if (!added.error.empty()) errors += added.error + "\n";
    }
    windows_->EndWaitCursor();
    return true;
}

void Application::OpenItems(const std::vector<std::string>& items, bool enqueue) {
    if (std::none_of(items.begin(), items.end(), NamesSomething)) return;
    std::string errors;
    if (!enqueue) {
        // The list is replaced only by what was added: items that add
        // nothing leave it (and what plays) as it was.
        Playlist added;
        const bool fetched = AddItems(added, items, errors);
        if (fetched && added.Count() > 0) {
            mainWindow_.ReplacePlaylistAndPlay([&added](Playlist& playlist) {
                for (const PlaylistEntry& entry : added.Entries()) playlist.Insert(entry.Path, -1, entry.Title);
            });
            playlistWindow_.SetFirstVisibleRow(0);
        }
        ReportOpenErrors(errors);
        return;
    }
    const bool idle = playlist_.Count() == 0 && PlayerGetStatus(engine_) == PLAYER_STOPPED;
    if (!AddItems(playlist_, items, errors)) return;
    playlistWindow_.RepaintList();
    ReportOpenErrors(errors);
    if (idle && playlist_.Count() > 0) {
        playlist_.CurrentIndex = 0;
        playlist_.ShowCurrent = true;
        mainWindow_.PlayAction();
    }
}

void Application::ReportOpenErrors(const std::string& errors) {
    if (!errors.empty()) MessageBox(*windows_, errors, kProgramCaption, MB_OK);
}

void Application::RequestOpen(OpenRequest request) {
    {
        std::lock_guard lock(requestsMutex_);
        requests_.push_back(std::move(request));
    }
    // Before the frame exists this goes nowhere; Start runs what waits.
    frame_.PostMessage(WM_OPEN_REQUESTED, 0, 0);
}

bool Application::DialogOpen() const {
    const Window* focus = windows_->Focus();
    while (focus != nullptr && focus->Parent() != nullptr) focus = focus->Parent();
    return focus != nullptr && focus != &frame_;
}

void Application::OpenRequested() {
    // A dialog may hold entries of the list; what waits runs when it closes
    // and the frame has the focus again.
    if (DialogOpen()) return;
    for (;;) {
        OpenRequest request;
        {
            std::lock_guard lock(requestsMutex_);
            if (requests_.empty()) return;
            request = std::move(requests_.front());
            requests_.pop_front();
        }
        OpenItems(request.items, request.enqueue);
    }
}

void Application::OnDrop(WPARAM kind, const char* dropped) {
    if (dropped == nullptr) return;
    std::vector<std::string> items;
    if (kind == kDroppedFile) {
        items.emplace_back(dropped);
    } else {
        items = ItemsFromDroppedText(dropped);
    }
    if (!items.empty()) RequestOpen({std::move(items), true});
}
