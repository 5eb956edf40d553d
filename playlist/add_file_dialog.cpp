#include "playlist/add_file_dialog.h"

#include <filesystem>
#include <system_error>

#include "platform/music_directory.h"
#include "platform/ui/file_dialog.h"
#include "playlist/media_types.h"

using namespace platform::ui;

std::string AddingStartDirectory(const std::string& lastDirectory) {
    return lastDirectory.empty() || lastDirectory == "/" ? platform::MusicDirectory() : lastDirectory;
}

bool ShowAddFileDialog(WindowManager& windows, Window& owner, const std::string& lastDirectory,
                       std::string& selection) {
    OpenFileName request;
    request.owner = &owner;
    request.title = "Add File";
    request.filters = AddFileFilters();
    request.initialDirectory = AddingStartDirectory(lastDirectory);
    request.flags = OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER;
    if (!GetOpenFileName(windows, request)) return false;
    // The first piece is the file, or the directory of several files.
    const std::string first = request.file.substr(0, request.file.find('\0'));
    std::error_code error;
    if (first.empty() || !std::filesystem::exists(first, error)) return false;
    selection = std::move(request.file);
    return true;
}
