#include "platform/music_directory.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/app_files.h"

namespace platform {
namespace {

// user-dirs.dirs is a few lines; anything larger is not one.
constexpr size_t kLargestUserDirsFile = 64 * 1024;
constexpr std::string_view kMusicKey = "XDG_MUSIC_DIR=\"";
constexpr std::string_view kHomePrefix = "$HOME";

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The folder the file names, "$HOME/..." or absolute; empty when it names none.
std::string MusicEntry(const std::string& content, const std::string& home) {
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        const std::string_view line = std::string_view(content).substr(start, end - start);
        start = end + 1;
        if (!line.starts_with(kMusicKey)) continue;
        std::string_view value = line.substr(kMusicKey.size());
        const size_t quote = value.find('"');
        if (quote == std::string_view::npos) return {};
        value = value.substr(0, quote);
        if (value.starts_with(kHomePrefix)) return home + std::string(value.substr(kHomePrefix.size()));
        return value.starts_with('/') ? std::string(value) : std::string();
    }
    return {};
}

}  // namespace

std::string MusicDirectory() {
    const std::string home = Variable("HOME");
    std::string config = Variable("XDG_CONFIG_HOME");
    if (config.empty() && !home.empty()) config = home + "/.config";
    std::string content;
    std::error_code error;
    if (!config.empty() && ReadWholeFile(config + "/user-dirs.dirs", kLargestUserDirsFile, content) == FileRead::Done) {
        const std::string music = MusicEntry(content, home);
        if (!music.empty() && std::filesystem::is_directory(music, error)) return music;
    }
    if (!home.empty() && std::filesystem::is_directory(home, error)) return home;
    return "/";
}

}  // namespace platform
