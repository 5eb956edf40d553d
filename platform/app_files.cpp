#include "platform/app_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace platform {
namespace {

bool WriteAll(int handle, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = ::write(handle, content.data(), content.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        content.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Makes the rename itself durable.
void SyncDirectory(const std::string& directory) {
    const int handle = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) return;
    ::fsync(handle);
    ::close(handle);
}

}  // namespace

std::string ApplicationDirectory() {
    std::filesystem::path directory;
    if (const char* home = std::getenv("TUNELARK_HOME"); home != nullptr && *home != '\0') {
        directory = home;
    } else if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data != '\0') {
        directory = std::filesystem::path(data) / "tunelark";
    } else if (const char* user = std::getenv("HOME"); user != nullptr && *user != '\0') {
        directory = std::filesystem::path(user) / ".local" / "share" / "tunelark";
    } else {
        return {};
    }
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (!std::filesystem::is_directory(directory, error)) return {};
    return directory.string();
}

bool WriteFileAtomically(const std::string& path, std::string_view content) {
    const std::filesystem::path target(path);
    const std::string directory = target.has_parent_path() ? target.parent_path().string() : ".";
    std::string temporary = (std::filesystem::path(directory) / ("." + target.filename().string() + ".XXXXXX")).string();
    const int handle = ::mkstemp(temporary.data());
    if (handle < 0) return false;
    const bool written = WriteAll(handle, content) && ::fsync(handle) == 0;
    const bool closed = ::close(handle) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncDirectory(directory);
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    // A directory opens as a stream on this platform and throws when read.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    try {
        std::ifstream file(path, std::ios::binary);
        if (!file) return false;
        content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        return !file.bad();
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace platform
