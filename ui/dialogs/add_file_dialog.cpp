#include "ui/dialogs/add_file_dialog.h"

#include <filesystem>
#include <system_error>

#include "platform/music_directory.h"
#include "platform/ui/file_dialog.h"
#include "playlist/media_types.h"

using namespace platform::ui;

std::vector<FileFilter> AddFileFilters() {
    std::string patterns;
    for (const std::string_view extension : MusicExtensions()) {
        if (!patterns.empty()) patterns += ';';
        patterns += '*';
        patterns += extension;
    }
    std::vector<FileFilter> filters = {{"All Media (" + patterns + ")", patterns}};
    for (const MediaType& type : MediaTypes()) {
        filters.push_back({std::string(type.name) + " (" + std::string(type.patterns) + ")", std::string(type.patterns)});
    }
    return filters;
}

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
