#include "ui/dialogs/directory_browser.h"

#include <functional>

#include "platform/ui/dialog_host.h"
#include "platform/ui/window_manager.h"
#include "ui/dialogs/directory_browser_tree.h"
#include "ui/dialogs/directory_browser_view.h"
#include "ui/dialogs/directory_browser_volumes.h"

namespace {

constexpr const char* kTitle = "Open Directory";
constexpr const char* kFileSystemRoot = "/";

}  // namespace

int BrowseForDirectory(platform::ui::WindowManager& windows, platform::ui::Window& /*owner*/, std::string& path) {
    using namespace platform::ui;
    // Listing the directories on the way to the preselected one can take a while.
    windows.BeginWaitCursor();
    const MountedVolumes volumes = MountedVolumes::FromSystem();
    const auto isVolume = [&volumes](const std::string& directory) { return volumes.Contains(directory); };
    DirectoryTree tree(kFileSystemRoot, isVolume);
    tree.Preselect(path);
    windows.EndWaitCursor();

    DirectoryBrowserView view(tree);
    const auto content = [&](const std::function<void(int)>& end) { view.Draw(end); };
    const auto key = [&](uint32_t virtualKey) { return view.HandleKey(virtualKey); };
    const int result = RunDialog(windows, kTitle, content, IDOK, IDCANCEL, key);
    if (result == IDOK) path = tree.PathOf(*tree.Selected());
    return result;
}
