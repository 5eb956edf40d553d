#include "platform/app_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace platform {
namespace {

constexpr size_t kReadChunkBytes = 16 * 1024;

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

std::string CreatedDirectory(const std::filesystem::path& directory) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (!std::filesystem::is_directory(directory, error)) return {};
    return directory.string();
}

const char* SetVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

}  // namespace

std::string CacheDirectory() {
    if (const char* home = SetVariable("TUNELARK_HOME")) return CreatedDirectory(std::filesystem::path(home) / "cache");
    if (const char* cache = SetVariable("XDG_CACHE_HOME")) return CreatedDirectory(std::filesystem::path(cache) / "tunelark");
    if (const char* user = SetVariable("HOME")) return CreatedDirectory(std::filesystem::path(user) / ".cache" / "tunelark");
    return {};
}

std::string ApplicationDirectory() {
    if (const char* home = SetVariable("TUNELARK_HOME")) return CreatedDirectory(home);
    if (const char* data = SetVariable("XDG_DATA_HOME")) return CreatedDirectory(std::filesystem::path(data) / "tunelark");
    if (const char* user = SetVariable("HOME")) {
        return CreatedDirectory(std::filesystem::path(user) / ".local" / "share" / "tunelark");
    }
    return {};
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
        // The caller tells the user why from errno: the cleanup must not change it.
        const int why = errno;
        ::unlink(temporary.c_str());
        errno = why;
        return false;
    }
    SyncDirectory(directory);
    return true;
}

FileRead ReadWholeFile(const std::string& path, size_t limit, std::string& content) {
    // A directory opens as a stream on this platform and throws when read.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return FileRead::Failed;
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return FileRead::Failed;
    if (size > limit) return FileRead::TooLarge;
    try {
        std::ifstream file(path, std::ios::binary);
        if (!file) return FileRead::Failed;
        // The file may grow while it is read, so the limit holds for what
        // is read, not only for the size seen before.
        std::string read;
        read.reserve(static_cast<size_t>(size));
        char chunk[kReadChunkBytes];
        while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
            read.append(chunk, static_cast<size_t>(file.gcount()));
            if (read.size() > limit) return FileRead::TooLarge;
        }
        if (file.bad()) return FileRead::Failed;
        content = std::move(read);
        return FileRead::Done;
    } catch (const std::exception&) {
        return FileRead::Failed;
    }
}

void ReportFileTooLarge(const std::string& path, size_t limit, const std::string& instead) {
    std::fprintf(stderr, "tunelark: %s is larger than %zu bytes and was not read; %s\n", path.c_str(), limit,
                 instead.c_str());
}

}  // namespace platform
