// Opening from outside the player: the command line, a later start handing
// its arguments over, and drops on the window. Every item goes through
// AddLocation (through AddItems), whatever brought it.

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "engine/player.h"
#include "platform/path_text.h"
#include "platform/ui/dialog_host.h"
#include "playlist/add_location.h"
#include "resources/string_table.h"
#include "prefs/settings.h"
#include "ui/shell/application.h"
#include "ui/shell/uri_list.h"

using namespace platform::ui;

namespace {

// An address, or something that is there to read.
bool NamesSomething(const std::string& item) {
    std::error_code error;
    return platform::IsNetworkLocation(item) || std::filesystem::exists(item, error);
}

}  // namespace

void Application::AddItems(const std::vector<std::string>& items, std::string& errors) {
    PlayerStreamOptions options;
    PlayerGetStreamOptions(engine_, &options);
    // A station list on the network is fetched while the wait cursor shows.
    windows_->BeginWaitCursor();
    for (const std::string& item : items) {
        const AddLocationResult added = AddLocation(playlist_, item, options, g_settings.LastDir);
        if (!added.error.empty()) errors += added.error + "\n";
    }
    windows_->EndWaitCursor();
}

void Application::OpenItems(const std::vector<std::string>& items, bool enqueue) {
    if (std::none_of(items.begin(), items.end(), NamesSomething)) return;
    std::string errors;
    if (!enqueue) {
        mainWindow_.ReplacePlaylistAndPlay([this, &items, &errors](Playlist&) { AddItems(items, errors); });
        playlistWindow_.SetFirstVisibleRow(0);
        ReportOpenErrors(errors);
        return;
    }
    const bool idle = playlist_.Count() == 0 && PlayerGetStatus(engine_) == PLAYER_STOPPED;
    AddItems(items, errors);
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
