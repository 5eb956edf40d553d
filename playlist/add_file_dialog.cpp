#include "playlist/add_file_dialog.h"

#include <filesystem>
#include <system_error>

#include "platform/ui/file_dialog.h"

using namespace platform::ui;

bool ShowAddFileDialog(WindowManager& windows, Window& owner, const std::string& lastDirectory,
                       std::string& selection) {
    OpenFileName request;
    request.owner = &owner;
    request.title = "Add File";
    request.filters = {{"All Media(*.mp3,*.ogg)", "*.mp3;*.ogg"},
                       {"Mp3 File(*.mp3)", "*.mp3"},
                       {"Ogg Vorbis File(*.ogg)", "*.ogg"}};
    request.initialDirectory = lastDirectory;
    request.flags = OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER;
    if (!GetOpenFileName(windows, request)) return false;
    // The first piece is the file, or the directory of several files.
    const std::string first = request.file.substr(0, request.file.find('\0'));
    std::error_code error;
    if (first.empty() || !std::filesystem::exists(first, error)) return false;
    selection = std::move(request.file);
    return true;
}
