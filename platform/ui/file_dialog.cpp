#include "platform/ui/file_dialog.h"

#include <filesystem>
#include <functional>
#include <string_view>

#include "platform/ui/dialog_host.h"
#include "platform/ui/file_chooser_view.h"

namespace platform::ui {
namespace {

constexpr const char* kOpenTitle = "Open";
constexpr const char* kSaveTitle = "Save As";

std::string TitleOf(const OpenFileName& request, const char* fallback) {
    return request.title.empty() ? fallback : request.title;
}

// Shows the chooser until the user cancels or `accept` takes the choice;
// `accept` may explain a refusal in a message box and go back to the list.
bool RunChooser(WindowManager& windows, OpenFileName& request, FileChooser& chooser, const std::string& title,
                const std::function<bool()>& accept) {
    FileChooserView view(chooser);
    const auto content = [&](const std::function<void(int)>& end) { view.Draw(end); };
    const auto key = [&](uint32_t virtualKey) { return view.HandleKey(virtualKey); };
    while (RunDialog(windows, title, content, IDOK, IDCANCEL, key) == IDOK) {
        if (chooser.HasChoice() && accept()) {
            request.filterIndex = chooser.FilterIndex();
            return true;
        }
    }
    return false;
}

// The extension a name typed without one gets: the chosen filter's when its
// first pattern is a plain "*.ext", as on the desktop; else the default.
std::string ExtensionToAdd(const std::string& defaultExtension, std::string_view patterns) {
    const std::string_view first = patterns.substr(0, patterns.find(';'));
    if (!first.starts_with("*.")) return defaultExtension;
    const std::string_view extension = first.substr(2);
    if (extension.empty() || extension.find_first_of("*?") != std::string_view::npos) return defaultExtension;
    return std::string(extension);
}

std::string_view ChosenPatterns(const FileChooser& chooser) {
    const std::vector<FileFilter>& filters = chooser.Filters();
    const auto index = static_cast<size_t>(chooser.FilterIndex() - 1);
    return index < filters.size() ? std::string_view(filters[index].patterns) : std::string_view();
}

bool IsRegularFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool IsDirectory(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// The form a caller splits at '\0': the directory, each name, then an empty piece.
std::string MultipleSelection(const std::string& directory, const std::vector<std::string>& names) {
    std::string result = directory;
    result.push_back('\0');
    for (const std::string& name : names) {
        result += name;
        result.push_back('\0');
    }
    result.push_back('\0');
    return result;
}

bool HasExtension(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    return dot != std::string_view::npos && dot > 0 && dot + 1 < fileName.size();
}

// The path the typed name stands for: absolute as typed, or inside the
// folder shown. Spaces around it are taken for slips of the stylus.
std::string TypedPath(const FileChooser& chooser, const std::string& typed) {
    const size_t first = typed.find_first_not_of(' ');
    const std::string name = typed.substr(first, typed.find_last_not_of(' ') - first + 1);
    const std::string path = name.front() == '/' ? name : JoinPath(chooser.Directory(), name);
    return std::filesystem::path(path).lexically_normal().string();
}

}  // namespace

bool GetOpenFileName(WindowManager& windows, OpenFileName& request) {
    const bool many = (request.flags & OFN_ALLOWMULTISELECT) != 0;
    FileChooser chooser(many ? ChooserMode::OpenMany : ChooserMode::OpenOne,
                        ReadableDirectoryNear(request.initialDirectory), request.filters, request.filterIndex);
    const std::string title = TitleOf(request, kOpenTitle);
    const auto accept = [&] {
        const std::vector<std::string> names = chooser.ChosenNames();
        if (request.flags & OFN_FILEMUSTEXIST) {
            for (const std::string& name : names) {
                if (IsRegularFile(JoinPath(chooser.Directory(), name))) continue;
                MessageBox(windows, DisplayName(name) + "\nFile not found.\nCheck the file name and try again.", title,
                           MB_OK);
                chooser.Relist();
                return false;
            }
        }
        request.file = names.size() == 1 ? JoinPath(chooser.Directory(), names.front())
                                         : MultipleSelection(chooser.Directory(), names);
        return true;
    };
    return RunChooser(windows, request, chooser, title, accept);
}

bool GetSaveFileName(WindowManager& windows, OpenFileName& request) {
    FileChooser chooser(ChooserMode::Save, ReadableDirectoryNear(request.initialDirectory), request.filters,
                        request.filterIndex);
    const std::string title = TitleOf(request, kSaveTitle);
    const auto accept = [&] {
        std::string path = TypedPath(chooser, chooser.Name());
        if (IsDirectory(path)) {
            // A folder's name typed in goes into that folder, as on the desktop.
            chooser.Open(ReadableDirectoryNear(path));
            chooser.Name().clear();
            return false;
        }
        if (!request.defaultExtension.empty() && !HasExtension(FileNamePart(path))) {
            path += "." + ExtensionToAdd(request.defaultExtension, ChosenPatterns(chooser));
        }
        const std::string folder = ParentDirectory(path);
        if ((request.flags & OFN_PATHMUSTEXIST) && !IsDirectory(folder)) {
            MessageBox(windows, DisplayName(folder) + "\nPath does not exist.\nCheck the path and try again.", title,
                       MB_OK);
            return false;
        }
        if ((request.flags & OFN_OVERWRITEPROMPT) && Exists(path) &&
            MessageBox(windows, DisplayName(FileNamePart(path)) + " already exists.\nDo you want to replace it?", title,
                       MB_OKCANCEL) != IDOK) {
            return false;
        }
        request.file = path;
        return true;
    };
    return RunChooser(windows, request, chooser, title, accept);
}

}  // namespace platform::ui
